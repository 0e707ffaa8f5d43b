#pragma once
// A table window: objects are lines, named properties are columns. The caller fills it
// before showing it; the user can then sort by a column, search a column and save the
// table to a text file from the list's context menu.

#include <memory>
#include <vector>

#include "host/dialog/KIVDlgDialog.h"

class KIVDlgEditor;
class KIVDlgMultiList;
class NavMenuGeneric;
class NavMultiListTxt;

class NavPropertiesViewer : public KIVDlgDialog {
 public:
  static constexpr int kDialogStyle = 0x1400;
  static constexpr const char* CloseButtonTitle = "Close";
  static constexpr const char* ListTag = "PropertiesList";
  static constexpr int kVisibleLines = 10;
  static constexpr int kInitialCapacity = 64;

  static constexpr const char* ContextMenuTag = "GraphContextMenu";
  /// Context menu options.
  enum MenuOption { SortUpOption = 1, SortDownOption = 2, SearchOption = 3, PrintOption = 4 };
  static constexpr const char* SortUpItemTag = "SortUpItem";
  static constexpr const char* SortUpItemTitle = "Sort ascending";
  static constexpr const char* SortDownItemTag = "SortDownItem";
  static constexpr const char* SortDownItemTitle = "Sort descending";
  static constexpr const char* SearchItemTag = "SearchItem";
  static constexpr const char* SearchItemTitle = "Search item";
  static constexpr const char* SeparatorTag = "Separator";
  static constexpr const char* PrintItemTag = "PrintItem";
  static constexpr const char* PrintItemTitle = "Print to file";

  static constexpr const char* SearchPanelTag = "SearchItemTag";
  static constexpr const char* SearchPanelTitle = "Search item";
  static constexpr int kSearchPanelStyle = 0xE00;
  static constexpr const char* SearchEditorTag = "SearchEditorTag";
  static constexpr int kSearchEditorWidth = 30;
  /// Columns from this one on sort as numbers, those before as texts.
  static constexpr int kFirstNumericColumn = 5;

  /// parent holds the window; tag and title name it (null: empty).
  NavPropertiesViewer(KIVDialog* parent, const char* tag, const char* title);
  ~NavPropertiesViewer() override;
  NavPropertiesViewer(const NavPropertiesViewer&) = delete;
  NavPropertiesViewer& operator=(const NavPropertiesViewer&) = delete;

  /// Adds a line whose cells hold the default value; the new number of objects (objects
  /// are numbered from 1), -1 when memory runs out.
  int AddObject();
  /// Sets property `name` of object `object` (1 to the number of objects); an unknown name
  /// adds a column of default cells, unless the window has been shown. 0 when set, 1 when
  /// nothing was set (null or empty name, object out of range, new name refused).
  int AddProperty(int object, KIVUnicodeString* name, KIVUnicodeString* value, int);
  int GetNumberOfObject() const { return mObjectCount; }
  int GetNumberOfProperty() const { return static_cast<int>(mNames.size()); }
  /// The property's name (1-based); the default value out of range.
  const KIVUnicodeString& GetProperty(int i) const;
  /// A cell (both 1-based); the default value out of range.
  const KIVUnicodeString& GetPropertyValue(int object, int property) const;
  /// The value of out-of-range queries and of new cells ("" at first).
  void SetDefaultValue(const KIVUnicodeString& value) { mDefault = value; }
  const KIVUnicodeString& GetDefaultValue() const { return mDefault; }

  /// 2 shows (the first show builds the list and its menu from the table), 4 hides.
  void SetVisibility(unsigned long visibility);
  /// 1 sorts the selected column ascending, other values descending; the table follows.
  /// 0 when sorted, -1 without a list or a selected column, or when the sort fails.
  int SortByColumnNumber(int direction);
  /// Opens the search panel on the selected column.
  void SearchColumn();
  /// Searches `text` in the selected column from the first selected line on (line 0 when
  /// none); a match after that line scrolls it to the top. The match's line, -1 when none.
  int SearchText(const KIVUnicodeString& text);
  void SearchColumnPanelCB(KIVCommand* sender, KIVNotification* notification, void* data);
  /// Opens the export dialog on the list.
  void Print();
  /// Writes the table as the export dialog would, without asking: 0, or -1 when it was
  /// never shown or the file cannot be written (nothing is changed then).
  int Export(const KIVUnicodeString& path);
  void MenuContextuelCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void CancelCommandCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void HelpCommandCB(KIVCommand* sender, KIVNotification* notification, void* data);

  /// Null before the first show.
  KIVDlgMultiList* GetList() const { return mList; }
  NavMenuGeneric* GetContextMenu() const { return mMenu.get(); }
  KIVDlgDialog* GetSearchPanel() const { return mSearchPanel; }
  KIVDlgEditor* GetSearchEditor() const { return mSearchEditor; }

 private:
  void Build();
  void Refill();
  int FindName(const KIVUnicodeString& name) const;
  bool GrowObjects();

  std::vector<KIVUnicodeString> mNames;
  std::vector<std::vector<KIVUnicodeString>> mValues;  // one per property, one cell per object
  int mObjectCount = 0;
  int mObjectCapacity = kInitialCapacity;
  KIVUnicodeString mDefault;
  bool mShownOnce = false;

  KIVDlgMultiList* mList = nullptr;
  std::unique_ptr<NavMenuGeneric> mMenu;
  KIVDlgDialog* mSearchPanel = nullptr;
  KIVDlgEditor* mSearchEditor = nullptr;
  std::unique_ptr<KIVCommand> mRelay;  // hears the window's own buttons before its father
  std::vector<KIVCallback> mCallbacks;
};
