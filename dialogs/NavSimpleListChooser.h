#pragma once
// A chooser list of (text, object) elements, filtered by a wildcard pattern and optionally
// kept in text order. With a filter frame ("FilterFrame": the editor and an "Apply"
// button) the list's select and activate notifications, the editor's modifications and
// the button reach the father command.

#include <memory>
#include <string>
#include <vector>

#include "dialogs/KIVFilterString.h"
#include "host/dialog/KIVDlgFrame.h"

class KIVDlgEditor;
class KIVDlgLabel;
class KIVDlgMultiList;
class KIVDlgPushButton;

class NavSimpleListChooser : public KIVDlgFrame {
 public:
  NavSimpleListChooser(KIVDialog* parent, const char* tag, unsigned long style, int withFilter);
  ~NavSimpleListChooser() override;

  /// Returns the element's position, -1 when it could not be added.
  int AddElement(const char* text, void* object);
  /// Removes every element holding that object; returns how many.
  int RemoveElement(const void* object);
  void ClearElements();
  int GetElementsCount() const { return static_cast<int>(mElements.size()); }
  const char* GetElementText(int index) const;
  void* GetElementObject(int index) const;

  int GetSelectCount() const;
  /// Writes up to n selected objects; returns the number of selected lines.
  int GetSelect(void** out, int n) const;
  void SetSelect(void** objects, int n);
  void ClearSelect();

  const char* GetFilter() const { return mFilter.GetFilter(); }
  void SetFilter(const char* pattern);
  /// fromEditor = 1 takes the pattern from the filter editor first; then filters.
  void UpdateFilter(int fromEditor);
  /// Shows the elements whose text passes the pattern and whose filter value is 1.
  void FilterList();
  void SetTableauFiltre(const int* values, int n);
  int* GetTableauFiltre() { return mForced.data(); }
  /// Per element, 1 when it is shown.
  int* GetTableauFiltreGlobal() { return mShown.data(); }
  void InitTableauFiltre(int from, int value);

  /// 1 keeps elements in text order (and sorts the existing ones now).
  void SetSortAttibute(int on);
  int GetSortAttibute() const { return mSort; }
  void InactiveUpdate() { mUpdates = 0; }
  void ActiveUpdate();

  int GetVisibleTextWidth() const;
  void SetVisibleTextWidth(int characters);
  int GetVisibleTextHeight() const;
  void SetVisibleTextHeight(int lines);
  int GetFirstLine() const;
  void SetFirstLine(int line);
  int GetFirstColumn() const;
  void SetFirstColumn(int column);

  KIVDlgPushButton* GetFilterApply() const { return mApply; }
  KIVDlgEditor* GetFilterEdit() const { return mEditor; }
  KIVDlgMultiList* GetSelectorList() const { return mList; }

 private:
  struct Element {
    std::string text;
    void* object;
  };
  void Forward(KIVCommand* sender, KIVNotification* notification, void* data);
  void Redisplay();

  std::vector<Element> mElements;
  std::vector<int> mForced;
  std::vector<int> mShown;
  std::vector<int> mLineElement;  // element shown on each line
  KIVFilterString mFilter;
  int mSort = 0;
  int mUpdates = 1;
  KIVDlgMultiList* mList = nullptr;
  KIVDlgEditor* mEditor = nullptr;
  KIVDlgLabel* mLabel = nullptr;
  KIVDlgFrame* mFilterFrame = nullptr;
  KIVDlgPushButton* mApply = nullptr;
};
