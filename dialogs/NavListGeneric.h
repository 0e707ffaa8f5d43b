#pragma once
// A frame that shows user objects in a multi-column list: each object has column texts, a
// type, a subtype mask, a selected and a tagged flag. The list filters what it shows (type,
// subtype, tag state, a wildcard pattern on the first column, a per-object forced flag),
// sorts, finds, selects and tags, edits an object's texts and exports what it shows to a
// text file. Refreshes are deferred to the application's deferred cycle and coalesced;
// each one publishes OBJECT_UPDATED. Changes reach the father command as notifications.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "dialogs/KIVFilterString.h"
#include "dialogs/NavListObject.h"
#include "dialogs/NavListType.h"
#include "foundation/NavChangeTypeNotification.h"
#include "foundation/NavListGenericEvents.h"
#include "foundation/NavListGenericSetting.h"
#include "foundation/NavMarqueChangeNotification.h"
#include "foundation/NavSwapModeMarqNotification.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgNotifications.h"

class KIVDlgCheckButton;
class KIVDlgCombo;
class KIVDlgDialog;
class KIVDlgEditor;
class KIVDlgLabel;
class KIVDlgMultiList;
class KIVDlgNotify;
class KIVDlgPushButton;
class NavEditorGeneric;
class NavMenuGeneric;

class NavListGeneric : public KIVDlgFrame {
 public:
  /// Style bits.
  static constexpr int kStyleMultiple = 0x1, kStyleLabel = 0x2, kStyleMarkerColumn = 0x8, kStyleTagColumn = 0x10,
                       kStyleFilterEditor = 0x20, kStyleTypeCombo = 0x40, kStyleTagCombo = 0x80,
                       kStyleCurrent = 0x100, kStyleSortAtRefresh = 0x200, kStyleTagging = 0x400,
                       kStyleFrameZero = 0x4000;
  /// Sort keys of SortIndiceObject.
  static constexpr int kKeyText = 0, kKeyType = 1, kKeySelected = 2, kKeyTagged = 3, kKeyInsertion = 4;
  /// Contextual menu options.
  enum MenuOption {
    kSortAlpha = 0, kSortSelect = 2, kSortTag = 3, kTagAll = 5, kTagOnly = 6, kUnTagOnly = 7, kMoreInfo = 8,
    kSelectAll = 9, kDeselectAll = 10, kFind = 11, kFindNext = 12, kFindNextSelect = 13, kShowWhenFind = 14,
    kSelWhenFind = 15, kUnSelWhenFind = 16, kAddSelect = 17, kEditObject = 18, kPrintFile = 19
  };

  NAV_EVENT_ACCESSOR(OBJECT_UPDATED)

  /// The registry of live lists; a deferred refresh runs only for a list still in it.
  static NavListGeneric** saInstanceReferenced;
  static int snbInstanceReferenced;
  static int snbInstanceReferencedMax;
  static int IsReferenced(const NavListGeneric* list);

  NavListGeneric(KIVCommand* father, KIVDialog* parent, const char* name, int filtering, int style);
  ~NavListGeneric() override;

  // Objects. `texts` (allocated with new[]) is owned by the list from then on; it holds
  // textCount texts, or (textCount -1) the column count of the object's type (1 when the
  // type is not registered). AddObject returns 1, or 0 when the object could not be added.
  int AddObject(void* object, KIVUnicodeString* texts, int type, int subtypes, int selected, int tagged, int forced,
                int textCount = -1);
  int RemoveObject(void* object);
  int UpdateObject(void* object, KIVUnicodeString* texts, int textCount = -1);
  /// -1 removes every object; any other value every object of that type.
  void ClearObject(int type);
  NavListObject* GetInternalObjet(void* object);
  /// Position of the object's record, -1 when absent.
  int GetIndiceObject(void* object) const;
  int GetObjectCount() const { return mNbObject; }
  int GetObjectCapacity() const { return mCapacity; }
  /// The record at a position, null out of range.
  NavListObject* GetObjectAt(int index);

  // Types.
  int AddTypeObject(const NavListType& type, int makeCurrent, int refresh = 1);
  int SetCurrentType(int type, int refresh = 1);
  int SetCurrentSubType(int mask);
  int GetCurrentType() const { return mSetting.currentType; }
  int GetCurrentSubType() const { return mSetting.subtypeMask; }
  NavListType* GetTypeInterne(int id);
  int GetIndiceType(int id) const;
  int GetTypeCount() const { return mNbType; }
  void SetTypeComboEnable(int on);

  // Selection. `count` is, on input, the room in `out` (and `types` when given; 0 with a
  // null `out` only counts) and on output the number of objects found.
  int GetSelectObject(void** out, int* types, int& count, int inViewOnly);
  int SetSelectObject(void** objects, int n, int value, int refresh, int notify);
  int ClearSelectObject(int refresh, int notify);
  int GetSelectCount(int inViewOnly) const;
  int SelectAll(int select);

  // Tags.
  int GetTaggedObject(void** out, int* types, int& count, int inViewOnly);
  int SetTaggedObject(void** objects, int n, int value, int refresh, int notify);
  int ClearTaggedObject(int refresh, int notify);
  int GetTaggedCount(int inViewOnly) const;
  /// 5 all, 6 tagged only, 7 untagged only; others are refused (0).
  int SetModeMarque(int mode, int syncWidgets);
  int GetModeMarque() const { return mSetting.tagMode; }

  // View.
  /// The objects shown, in display order (inDisplayOrder = 1) or record order; `count` as above.
  int GetObjectInCurrentView(void** out, int& count, int inDisplayOrder);
  int GetObjectInCurrentViewCount() const { return mNbView; }
  /// The object kept on the first visible line across refreshes (and scrolled there now);
  /// reset = 1 (or a null object) drops it.
  void UpdatePositionList(void* object, int reset);
  /// The line where an object is shown, -1 when not shown (as of the last refresh).
  int GetLineOfObject(void* object) const;
  /// The object shown on a line, null out of range.
  void* GetObjectOfLine(int line) const;

  // Filtering.
  const char* GetFilter() const { return mFilter.GetFilter(); }
  void SetFilter(const char* pattern);
  void SetFiltreForce(int* values, int n, int refresh);
  void InitFiltreForce(int from, int value);
  int* GetFiltreForce() { return mForced.get(); }

  // Refresh.
  /// Asks for a deferred refresh; nothing while suspended or already pending.
  void UpdateDisplayList();
  void InactiveUpdate() { mUpdatesEnabled = 0; }
  void ActiveUpdate();
  /// Runs a refresh now (what the deferred cycle runs).
  void UpdateDisplayListDiffered();
  int IsRefreshPending() const { return mRefreshPending; }
  /// More-info: the type name column.
  void SetExtandInfo(int on);
  int GetExtandInfo() const { return mMoreInfo; }

  // Find and sort.
  void FindObjectSaisie(KIVDialog* parent);
  void FindConfirmeCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void DeleteFindObjectSaisie();
  /// mode -1 searches text, 1 the next selected line, 0 the next unselected line. Returns
  /// the line found, -1 when none.
  int FindObject(KIVUnicodeString text, int firstColumn, int wrap, int mode, int startLine = -1);
  void UpdateFindList(NavListObject* object, int scroll);
  void SortIndiceObject(int descending, int key);
  void SortObjectCombinatoire(int* keys, int* descending, int n);
  void UpdateSortList();
  /// The first column searched: after the marker and tag columns.
  int GetFirstDataColumn() const;
  const KIVUnicodeString& GetLastSearch() const { return mLastSearch; }
  void* GetCurrentObject() const { return mCurrent; }
  KIVDlgDialog* GetFindWindow() const { return mFindWindow; }
  KIVDlgNotify* GetFindInfoWindow() const { return mFindInfo; }

  KIVDlgMultiList* GetMultiList() const { return mList; }
  NavMenuGeneric* GetContextMenu() const { return mMenu; }
  int GetLastColonneClic() const { return mLastColumn; }
  void GetCurrentSetting(NavListGenericSetting& setting) const { setting = mSetting; }
  void SetCurrentSetting(const NavListGenericSetting& setting);
  /// Runs a contextual menu option as if chosen (the line under the click: the first selected).
  void ActionMenu(int option);
  NavEditorGeneric* GetEditor() const { return mEditor; }

  KIVDlgListSelectNotification* SelectChangeNotification() { return &mSelectChange; }
  KIVDlgListActivateNotification* SelectActiveNotification() { return &mSelectActive; }
  NavMarqueChangeNotification* MarqueChangeNotification() { return &mMarqueChange; }
  NavSwapModeMarqNotification* SwapModeMarqNotification() { return &mSwapModeMarq; }
  NavChangeTypeNotification* ChangeTypeNotification() { return &mChangeType; }

  /// Tag texts and the tag column title.
  static const char* TagTitle;
  static const char* UnTagTitle;
  static const char* StateTitle;

  void SelectChangeCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void FilterCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void MenuCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void EditorCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void WindowCB(KIVCommand* sender, KIVNotification* notification, void* data);

 private:
  static void DeferredCB(KIVCommand* command, int type, void* data);
  static int ReferenceInstance(NavListGeneric* list, int add);
  bool Grow();
  void Send(KIVNotification* notification);
  bool ShowsMarker() const { return (mStyle & kStyleMarkerColumn) && (mStyle & kStyleCurrent); }
  bool ShowsTagColumn() const { return (mStyle & kStyleTagColumn) && (mStyle & kStyleTagging); }
  int TagColumn() const { return ShowsMarker() ? 1 : 0; }
  void BuildContext();
  void BuildMenu();
  void BuildFilterFrame();
  void FillTypeCombo();
  void UpdateMultiListFromContext();
  void UpdateFilterList();
  void FillLines();
  void UpdateCounter();
  bool ObjectShown(int index) const;
  void RemoveAt(int index);
  void RebuildIndex() const;
  void WriteSelection();
  void SetMarker(int line, bool on);
  void AfterSortToggle();
  void SetFindMode(int mode);
  void ApplyFindModeWidgets();
  void ApplySortWidgets();
  void ApplyTagModeWidgets();
  void ShowFindInfo(const KIVUnicodeString& text);
  void OpenEditor(int line);

  KIVCommand* mFatherCommand;
  KIVDialog* mParentDialog;
  std::string mName;
  int mStyle;
  int mFiltering;

  // Records, forced values and the display order: parallel arrays of mCapacity slots.
  std::unique_ptr<NavListObject[]> mObjects;
  std::unique_ptr<int[]> mForced;
  std::unique_ptr<int[]> mOrder;
  int mNbObject = 0;
  int mNbView = 0;
  int mCapacity = 0;
  // object -> record index, rebuilt lazily after removals (lookups stay O(1) on big lists)
  mutable std::unordered_map<void*, int> mIndex;
  mutable bool mIndexStale = true;

  std::unique_ptr<NavListType[]> mTypes;
  int mNbType = 0;
  int mTypeCapacity = 0;

  // What the multi-list shows, as of the last refresh: the record of each line and the
  // line of each record (-1 when not shown).
  std::vector<int> mLineRecord;
  std::vector<int> mRecordLine;

  void* mCurrent = nullptr;
  void* mAnchor = nullptr;
  KIVUnicodeString mLastSearch;
  int mLastColumn = -1;
  int mMoreInfo = 0;
  int mFindAll = 0;
  int mTypeComboEnabled = 1;
  KIVFilterString mFilter;
  NavListGenericSetting mSetting;
  int mRefreshPending = 0;
  int mUpdatesEnabled = 1;
  int mContextBuilt = 0;
  int mWaitingForWindow = 0;

  KIVDlgListSelectNotification mSelectChange;
  KIVDlgListActivateNotification mSelectActive;
  NavMarqueChangeNotification mMarqueChange;
  NavSwapModeMarqNotification mSwapModeMarq;
  NavChangeTypeNotification mChangeType;

  KIVDlgMultiList* mList = nullptr;
  KIVDlgLabel* mLabel = nullptr;
  KIVDlgLabel* mCounter = nullptr;
  KIVDlgFrame* mFilterFrame = nullptr;
  KIVDlgEditor* mFilterEditor = nullptr;
  KIVDlgPushButton* mFilterApply = nullptr;
  KIVDlgCombo* mTypeCombo = nullptr;
  KIVDlgCombo* mTagCombo = nullptr;
  NavMenuGeneric* mMenu = nullptr;
  KIVDlgDialog* mFindWindow = nullptr;
  KIVDlgEditor* mFindEdit = nullptr;
  KIVDlgCheckButton* mFindAllButton = nullptr;
  KIVDlgNotify* mFindInfo = nullptr;
  NavEditorGeneric* mEditor = nullptr;
  void* mEditedObject = nullptr;
};
