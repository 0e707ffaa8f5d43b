#include "browsing/NavPropertiesViewer.h"

#include <cstdio>
#include <new>

#include "dialogs/NavMultiListTxt.h"
#include "dialogs/NavSortFindItem.h"
#include "foundation/NavMenuGeneric.h"
#include "host/core/KIVInteractiveApplication.h"
#include "host/dialog/KIVDlgEditor.h"
#include "host/dialog/KIVDlgMultiList.h"

namespace {
TableauMenu Row(int option, int kind, const char* name, const char* title) {
  return TableauMenu{option, kind, name, title, KIVUnicodeChar(0), 0ul, nullptr, 0, 1};
}

// Capacity grows by doubling from the initial one, as the table's columns do.
size_t Doubled(size_t capacity, size_t need) {
  while (capacity < need) capacity *= 2;
  return capacity;
}
}  // namespace

NavPropertiesViewer::NavPropertiesViewer(KIVDialog* parent, const char* tag, const char* title)
    : KIVDlgDialog(parent, tag, kDialogStyle) {
  SetTitle(KIVUnicodeString(title ? title : ""));
  SetOKTitle(KIVUnicodeString(CloseButtonTitle));
  mNames.reserve(kInitialCapacity);
  mValues.reserve(kInitialCapacity);
  // The window's buttons report to its father; the relay stands in as father so that the
  // window hears them itself.
  mRelay = std::make_unique<KIVCommand>(parent, "NavPropertiesViewerRelay");
  auto relay = [this](void (NavPropertiesViewer::*method)(KIVCommand*, KIVNotification*, void*)) {
    return [this, method](KIVCommand* s, KIVNotification* n, void* d) { (this->*method)(s, n, d); };
  };
  for (KIVNotification* n : {static_cast<KIVNotification*>(GetDiaOKNotification()),
                             static_cast<KIVNotification*>(GetDiaCANCELNotification()),
                             static_cast<KIVNotification*>(GetWindCloseNotification())})
    mRelay->AddAnalyseNotificationCB(this, n, nullptr, relay(&NavPropertiesViewer::CancelCommandCB), nullptr);
  mRelay->AddAnalyseNotificationCB(this, GetDiaHELPNotification(), nullptr, relay(&NavPropertiesViewer::HelpCommandCB),
                                   nullptr);
  SetFather(mRelay.get());
}

NavPropertiesViewer::~NavPropertiesViewer() {
  Retire();
  for (KIVCallback id : mCallbacks) RemoveAnalyseNotificationCB(id);
  mMenu.reset();  // its items lived under the list, gone with the children
  SetFather(nullptr);
}

// ---------------------------------------------------------------------------------------
// The table

bool NavPropertiesViewer::GrowObjects() {
  const size_t need = static_cast<size_t>(mObjectCount) + 1;
  if (need <= static_cast<size_t>(mObjectCapacity)) return true;
  const size_t capacity = Doubled(static_cast<size_t>(mObjectCapacity), need);
  try {
    for (auto& column : mValues) column.reserve(capacity);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "ERROR - NavPropertiesViewer: Enable to allocate List\n");
    return false;
  }
  mObjectCapacity = static_cast<int>(capacity);
  return true;
}

int NavPropertiesViewer::AddObject() {
  if (!GrowObjects()) return -1;
  for (auto& column : mValues) column.push_back(mDefault);  // reserved: cannot throw
  ++mObjectCount;
  if (mList) {
    std::vector<KIVUnicodeString> line(mValues.size(), mDefault);
    mList->SetLine(line.empty() ? &mDefault : line.data(), line.empty() ? 1 : static_cast<int>(line.size()), -1);
  }
  return mObjectCount;
}

int NavPropertiesViewer::FindName(const KIVUnicodeString& name) const {
  for (size_t i = 0; i < mNames.size(); ++i)
    if (mNames[i] == name) return static_cast<int>(i);
  return -1;
}

int NavPropertiesViewer::AddProperty(int object, KIVUnicodeString* name, KIVUnicodeString* value, int) {
  if (!name || !value || name->IsEmpty() || object < 1 || object > mObjectCount) return 1;
  int column = FindName(*name);
  if (column < 0) {
    if (mShownOnce) return 1;  // the list's columns are fixed once shown
    try {
      if (mNames.size() == mNames.capacity()) {
        mNames.reserve(mNames.capacity() * 2);
        mValues.reserve(mValues.capacity() * 2);
      }
      std::vector<KIVUnicodeString> cells;
      cells.reserve(static_cast<size_t>(mObjectCapacity));
      cells.assign(static_cast<size_t>(mObjectCount), mDefault);
      mValues.push_back(std::move(cells));
      mNames.push_back(*name);
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "ERROR - NavPropertiesViewer: Enable to allocate List\n");
      if (mValues.size() > mNames.size()) mValues.pop_back();
      return 1;
    }
    column = static_cast<int>(mNames.size()) - 1;
  }
  mValues[column][object - 1] = *value;
  if (mList) mList->SetCell(object - 1, column, *value);
  return 0;
}

const KIVUnicodeString& NavPropertiesViewer::GetProperty(int i) const {
  if (i < 1 || i > GetNumberOfProperty()) return mDefault;
  return mNames[i - 1];
}

const KIVUnicodeString& NavPropertiesViewer::GetPropertyValue(int object, int property) const {
  if (object < 1 || object > mObjectCount || property < 1 || property > GetNumberOfProperty()) return mDefault;
  return mValues[property - 1][object - 1];
}

// ---------------------------------------------------------------------------------------
// Showing

void NavPropertiesViewer::SetVisibility(unsigned long visibility) {
  if (visibility == static_cast<unsigned long>(VisibilityShown)) {
    if (!mList) Build();
    mShownOnce = true;
    KIVDlgDialog::SetVisibility(VisibilityShown);
  } else if (visibility == static_cast<unsigned long>(VisibilityHidden)) {
    if (mSearchPanel) mSearchPanel->SetVisibility(VisibilityHidden);
    KIVDlgDialog::SetVisibility(VisibilityHidden);
  }
}

void NavPropertiesViewer::Build() {
  mList = new KIVDlgMultiList(this, ListTag, 0);
  mList->SetGridConstraints(0, 0, 1, 1, AttachLeft | AttachRight | AttachTop | AttachBottom);
  mList->SetVisibleTextHeight(kVisibleLines);
  Refill();

  std::vector<TableauMenu> rows = {Row(SortUpOption, 3, SortUpItemTag, SortUpItemTitle),
                                   Row(SortDownOption, 3, SortDownItemTag, SortDownItemTitle),
                                   Row(SearchOption, 3, SearchItemTag, SearchItemTitle),
                                   Row(-1, 5, SeparatorTag, SeparatorTag),
                                   Row(PrintOption, 3, PrintItemTag, PrintItemTitle)};
  std::vector<TableauMenu*> table;
  for (auto& r : rows) table.push_back(&r);
  mMenu = std::make_unique<NavMenuGeneric>(this, mList, ContextMenuTag, 8, table.data(), static_cast<int>(table.size()));
  mCallbacks.push_back(AddAnalyseNotificationCB(mMenu.get(), mMenu->GetActionMenuNotification(),
                                                &NavPropertiesViewer::MenuContextuelCB, nullptr));
}

// Writes the whole table into the list: titles, then every column in one call.
void NavPropertiesViewer::Refill() {
  if (!mList) return;
  const int selectedColumn = mList->GetSelectedColumn();
  std::vector<std::vector<KIVUnicodeString>> columns(mValues.begin(), mValues.end());
  if (columns.empty()) columns.emplace_back(static_cast<size_t>(mObjectCount));
  mList->SetAllColumns(std::move(columns));
  if (mNames.empty())
    mList->SetColumnTitles(1, nullptr);
  else
    mList->SetColumnTitles(static_cast<int>(mNames.size()), mNames.data());
  if (selectedColumn >= 0) mList->SetSelectedColumn(selectedColumn);
}

// ---------------------------------------------------------------------------------------
// Sort, search, export

int NavPropertiesViewer::SortByColumnNumber(int direction) {
  if (!mList) return -1;
  const int column = mList->GetSelectedColumn();
  if (column < 0 || column >= mList->GetColumnCount() || mList->GetLineCount() < 1) return -1;
  std::vector<int> order(static_cast<size_t>(mList->GetLineCount()));
  const int kind = column < kFirstNumericColumn ? 0 : 2;
  if (NavSortFindItem::ListBubbleSort(mList, column, order.data(), direction == 1 ? 1 : -1, kind) != 0) return -1;
  auto* app = KIVInteractiveApplication::GetInteractiveApplication();
  if (app) app->SetBusyCursor(1);
  // The table follows the list: objects are renumbered in the shown order.
  for (auto& values : mValues) {
    std::vector<KIVUnicodeString> sorted;
    sorted.reserve(values.capacity());
    for (int line : order) sorted.push_back(std::move(values[static_cast<size_t>(line)]));
    values.swap(sorted);
  }
  Refill();
  if (app) app->SetBusyCursor(0);
  return 0;
}

void NavPropertiesViewer::SearchColumn() {
  if (!mList) return;
  if (!mSearchPanel) {
    mSearchPanel = new KIVDlgDialog(this, SearchPanelTag, kSearchPanelStyle);
    mSearchPanel->SetTitle(KIVUnicodeString(SearchPanelTitle));
    mSearchEditor = new KIVDlgEditor(mSearchPanel, SearchEditorTag, 0);
    mSearchEditor->SetVisibleTextWidth(kSearchEditorWidth);
    mSearchEditor->SetVisibleTextHeight(1);
    mSearchEditor->SetGridConstraints(0, 0);
    for (KIVNotification* n : {static_cast<KIVNotification*>(mSearchPanel->GetDiaOKNotification()),
                               static_cast<KIVNotification*>(mSearchPanel->GetDiaCANCELNotification()),
                               static_cast<KIVNotification*>(mSearchPanel->GetWindCloseNotification())})
      mCallbacks.push_back(
          AddAnalyseNotificationCB(mSearchPanel, n, &NavPropertiesViewer::SearchColumnPanelCB, nullptr));
  }
  mSearchPanel->SetVisibility(VisibilityShown);
}

int NavPropertiesViewer::SearchText(const KIVUnicodeString& text) {
  if (!mList || text.IsEmpty()) return -1;
  const int column = mList->GetSelectedColumn() >= 0 ? mList->GetSelectedColumn() : 0;
  int start = 0;
  if (mList->GetSelectCount() > 0) mList->GetSelect(&start, 1);
  const int k = NavSortFindItem::FindSubStringInMultiList(mList, column, text, start, 1, 0);
  if (k < 0) return -1;
  if (k > 0) mList->SetFirstLine(start + k);
  return start + k;
}

void NavPropertiesViewer::SearchColumnPanelCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!mSearchPanel || sender != mSearchPanel) return;
  mSearchPanel->SetVisibility(VisibilityHidden);
  if (notification == mSearchPanel->GetDiaOKNotification()) SearchText(mSearchEditor->GetText());
}

void NavPropertiesViewer::Print() {
  if (!mList) return;
  if (NavMultiListTxt* exporter = NavMultiListTxt::CreateMultiTxt(this, mList, this)) exporter->ShowFileDlg();
}

int NavPropertiesViewer::Export(const KIVUnicodeString& path) {
  if (!mList || path.IsEmpty()) return -1;
  NavMultiListTxt* exporter = NavMultiListTxt::CreateMultiTxt(this, mList, this);
  if (!exporter) return -1;
  const int result = exporter->GenerateTxt(path);
  exporter->RequestDelayedDestruction();
  return result;
}

// ---------------------------------------------------------------------------------------
// Callbacks

void NavPropertiesViewer::MenuContextuelCB(KIVCommand* sender, KIVNotification*, void*) {
  if (!mMenu || sender != mMenu.get()) return;
  switch (mMenu->GetLastOptionChoose()) {
    case SortUpOption:
      SortByColumnNumber(1);
      break;
    case SortDownOption:
      SortByColumnNumber(-1);
      break;
    case SearchOption:
      SearchColumn();
      break;
    case PrintOption:
      Print();
      break;
    default:
      break;
  }
}

void NavPropertiesViewer::CancelCommandCB(KIVCommand*, KIVNotification*, void*) { SetVisibility(VisibilityHidden); }

void NavPropertiesViewer::HelpCommandCB(KIVCommand*, KIVNotification*, void*) {}
