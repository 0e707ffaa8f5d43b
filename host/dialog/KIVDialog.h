#pragma once
// Base of every dialog object: a node of the dialog tree, which owns its children, and a
// command, whose father receives its notifications. Both trees start at the parent given
// to the constructor; KIVCommand::SetFather later moves only the command.

#include <cstddef>
#include <vector>

#include "host/core/KIVCommand.h"
#include "host/core/KIVString.h"
#include "host/core/KIVUnicodeChar.h"
#include "host/core/KIVUnicodeString.h"
#include "host/dialog/KIVDlgNotifications.h"
#include "host/dialog/KIVDlgPresenter.h"

class KIVDialog : public KIVCommand {
  KIV_DECLARE_METAOBJECT(KIVDialog)
 public:
  static constexpr int VisibilityShown = 2;
  static constexpr int VisibilityHidden = 4;
  static constexpr int SensitivityOn = 8;
  static constexpr int SensitivityOff = 16;
  static constexpr int StateSet = 0x40000;
  static constexpr int StateCleared = 0x80000;
  /// Attachment flags of SetGridConstraints: the sides of its cell the object sticks to.
  static constexpr int AttachLeft = 1, AttachRight = 2, AttachTop = 4, AttachBottom = 8;

  /// A null parent makes a root, a null tag an empty tag. Children are allocated with new:
  /// their parent deletes them.
  KIVDialog(KIVDialog* parent, const char* tag, int style = 0);
  /// Deletes the dialog children (each after its own), then leaves the parent.
  ~KIVDialog() override;

  KIVDialog* GetDialogParent() const { return mParent; }
  const std::vector<KIVDialog*>& GetDialogChildren() const { return mChildren; }
  const KIVString& GetTag() const { return mTag; }
  int GetStyle() const { return mStyle; }
  /// First descendant bearing that tag, depth first in creation order (only the children
  /// when recursive is 0); null for a null tag or when there is none.
  KIVDialog* LookupChild(const char* tag, int recursive = 1) const;

  void SetTitle(const KIVUnicodeString& title);
  const KIVUnicodeString& GetTitle() const { return mTitle; }
  void SetIconName(const char* name);
  const KIVString& GetIconName() const { return mIconName; }
  /// 2 shows, 4 hides; other values are ignored. Windows and contextual menus start hidden.
  void SetVisibility(int visibility);
  int GetVisibility() const { return mVisibility; }
  /// 8 sensitive, 16 insensitive (greys out everything inside too); others are ignored.
  void SetSensitivity(int sensitivity);
  int GetSensitivity() const { return mSensitivity; }
  void SetMnemonic(KIVUnicodeChar mnemonic);
  KIVUnicodeChar GetMnemonic() const { return mMnemonic; }
  void SetAcceleratorKey(unsigned long key);
  unsigned long GetAcceleratorKey() const { return mAccelerator; }

  /// Position and size in pixels; a negative size is refused (returns 0).
  int SetRectDimensions(int x, int y, int width, int height);
  void GetRectDimensions(int& x, int& y, int& width, int& height) const;
  void GetRectPosition(int& x, int& y) const;
  /// Cell of the object in its parent's grid; a negative cell or a span below 1 is refused.
  int SetGridConstraints(int row, int column, int rowSpan = 1, int columnSpan = 1, int attach = 0);
  /// 1 and the cell when one was set; 0, writing nothing, otherwise.
  int GetGridConstraints(int& row, int& column, int& rowSpan, int& columnSpan, int& attach) const;

  /// 1 when a person's input reaches the object: it is shown (a contextual menu's
  /// visibility is only its pop-up state) and it and its parents up to its window are
  /// sensitive. User… operations do nothing on an object that is not usable.
  int IsUsable() const;
  /// 1 once the object's window exists: from the first time it is shown in a shown window
  /// (at once when shown, or at the next deferred cycle for an object created shown).
  int IsRealized() const { return mRealized; }
  /// Sent to the father when the object is realized.
  KIVDlgCreateNotification* GetCreateNotification() const { return &mCreate; }

  /// The back end that mirrors the model; null, the default, draws nothing. Objects alive
  /// when a presenter is installed are announced to it at once.
  static void SetPresenter(KIVDlgPresenter* presenter);
  static KIVDlgPresenter* GetPresenter();
  /// Announces the objects created since the last announcement; the model also does it
  /// before any other presenter call and at each deferred cycle.
  static void FlushPresenter();

 protected:
  /// First statement of every destructor of the family, so that the children go and the
  /// presenter hears of the end while this object is still whole. Runs once.
  void Retire();
  /// Sends a notification of this object to its father command.
  int Notify(KIVNotification* notification);
  /// Tells the presenter about a change; nothing while headless or retiring.
  void Changed(KIVDlgProperty which);
  /// For constructors: the default visibility and the kind, told to nobody.
  void SetInitialVisibility(int visibility) { mVisibility = visibility; }
  void MarkAsWindow() { mIsWindow = 1; }
  void MarkAsPopup() { mIsPopup = 1; }

  /// Keeps the state of the two-state kinds (check and radio buttons and items): accepts
  /// StateSet or StateCleared only; a radio being set first clears its set siblings of the
  /// same class, each sending its own notification when notify is 1; then `modify` is sent
  /// when notify is 1. Returns 1 when the state changed.
  int ChangeState(int& state, int wanted, int notify, KIVNotification* modify, int radio);
  /// Radio kinds clear a set state here when a sibling is set.
  virtual void ClearAsRadio(int notify);

 private:
  bool IsShownUpToWindow() const;
  bool MayRealize() const;
  void Realize();
  static void DeferredCB(KIVCommand*, int, void*);

  KIVDialog* mParent = nullptr;
  std::vector<KIVDialog*> mChildren;
  KIVString mTag;
  int mStyle;
  KIVUnicodeString mTitle;
  KIVString mIconName;
  int mVisibility = VisibilityShown;
  int mSensitivity = SensitivityOn;
  KIVUnicodeChar mMnemonic;
  unsigned long mAccelerator = 0;
  int mRect[4] = {0, 0, 0, 0};
  int mGrid[5] = {-1, -1, 1, 1, 0};  // row, column, row span, column span, attach
  int mIsWindow = 0;
  int mIsPopup = 0;
  int mRealized = 0;
  int mRetired = 0;
  int mAnnounced = 0;
  std::size_t mPendingSlot;  // index in the queue of objects not yet announced
  mutable KIVDlgCreateNotification mCreate;
};
