#include "host/qt/KIVQtMultiList.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <algorithm>

#include "host/dialog/KIVDlgMultiList.h"
#include "host/qt/KIVQtMultiListModel.h"

KIVQtMultiList::KIVQtMultiList(KIVDlgMultiList* list, QWidget* parent)
    : QTreeView(parent), mModel(new KIVQtMultiListModel(list, this)) {
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setExpandsOnDoubleClick(false);
  setUniformRowHeights(true);  // lets the view skip measuring 100,000 rows
  setAlternatingRowColors(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(SelectRows);
  setEditTriggers(NoEditTriggers);
  setModel(mModel);
  // Unsorted at first; a third click on a header goes back to the list's own order.
  header()->setSortIndicatorClearable(true);
  header()->setSortIndicator(-1, Qt::AscendingOrder);
  setSortingEnabled(true);

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!mSyncing) mUserChanged = true;
  });
  // After a sort, show the list's selection again rather than trust the moved ranges.
  connect(mModel, &QAbstractItemModel::layoutChanged, this, [this] { SyncSelection(); });

  SyncLines();
  SyncScroll();
}

KIVDlgMultiList* KIVQtMultiList::GetList() const { return mModel->GetList(); }

void KIVQtMultiList::Sync(KIVDlgProperty which) {
  SyncSelectionMode();  // SetMultipleSelection tells nobody, so look at every chance
  switch (which) {
    case KIVDlgProperty::Lines:
      SyncLines();
      break;
    case KIVDlgProperty::Selection:
      SyncSelection();
      break;
    case KIVDlgProperty::Scroll:
      SyncScroll();
      break;
    case KIVDlgProperty::TextSize:
      updateGeometry();
      break;
    default:
      break;
  }
}

void KIVQtMultiList::Detach() {
  mAppliedWidths.clear();
  mSyncing = true;
  mModel->SetList(nullptr);
  mSyncing = false;
  mUserChanged = false;
}

void KIVQtMultiList::SyncLines() {
  mSyncing = true;
  mModel->Reset();
  mSyncing = false;
  SyncSelectionMode();
  SyncWidths();
  SyncSelection();  // a reset empties the view's selection
}

void KIVQtMultiList::SyncSelectionMode() {
  const KIVDlgMultiList* list = GetList();
  const SelectionMode mode = list && list->GetMultipleSelection() ? ExtendedSelection : SingleSelection;
  if (selectionMode() != mode) setSelectionMode(mode);
}

void KIVQtMultiList::SyncSelection() {
  if (!mModel->IsOrderPending()) {
    ApplySelection();
    return;
  }
  // Mapping lines to rows would sort again after each change of lines: wait for the event
  // loop, so that a burst of changes sorts once.
  if (mSelectionPosted) return;
  mSelectionPosted = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        mSelectionPosted = false;
        ApplySelection();
      },
      Qt::QueuedConnection);
}

void KIVQtMultiList::ApplySelection() {
  QItemSelection selection;
  const KIVDlgMultiList* list = GetList();
  const int count = list ? list->GetSelectCount() : 0;
  bool scattered = false;
  if (count > 0 && mModel->rowCount() > 0) {
    std::vector<int> lines(count);
    list->GetSelect(lines.data(), count);
    std::vector<int> rows;
    rows.reserve(lines.size());
    for (int line : lines)
      if (const int row = mModel->RowOfLine(line); row >= 0) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    // Runs of rows make one range each: selecting every line stays one range when unsorted.
    int runs = 0;
    for (size_t i = 0; i < rows.size(); ++i) runs += i == 0 || rows[i] != rows[i - 1] + 1;
    scattered = runs > kMaxSelectionRanges;
    const int lastColumn = mModel->columnCount() - 1;
    for (size_t i = 0; i < rows.size() && !scattered;) {
      size_t j = i;
      while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
      selection.append(QItemSelectionRange(mModel->index(rows[i], 0), mModel->index(rows[j], lastColumn)));
      i = j + 1;
    }
  }
  mSyncing = true;
  // Qt merges ranges pairwise and looks each painted cell up in every range: tens of
  // thousands of scattered lines would take minutes to select and seconds to paint. Such a
  // selection is painted from the list itself (drawRow) and left out of the view's model.
  mSelectionFromList = scattered;
  QItemSelectionModel* model = selectionModel();
  if (model->hasSelection() && (scattered || selection.size() + model->selection().size() > 64))
    model->clearSelection();  // comparing two non-empty selections is quadratic too
  // The ranges already span whole rows: no Rows expansion, which merges them again.
  if (!scattered) model->select(selection, QItemSelectionModel::ClearAndSelect);
  mSyncing = false;
  if (scattered) viewport()->update();
}

void KIVQtMultiList::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const KIVDlgMultiList* list = mSelectionFromList ? GetList() : nullptr;
  if (!list || !list->IsSelected(mModel->LineOfRow(index.row()))) {
    QTreeView::drawRow(painter, option, index);
    return;
  }
  QStyleOptionViewItem selected = option;
  selected.state |= QStyle::State_Selected;
  QTreeView::drawRow(painter, selected, index);
}

void KIVQtMultiList::SyncScroll() {
  const KIVDlgMultiList* list = GetList();
  if (!list) return;
  const int row = mModel->RowOfLine(list->GetFirstLine());
  if (row >= 0) scrollTo(mModel->index(row, 0), PositionAtTop);
  horizontalScrollBar()->setValue(header()->sectionPosition(list->GetFirstColumn()));
}

void KIVQtMultiList::SyncWidths() {
  const KIVDlgMultiList* list = GetList();
  if (!list) return;
  const int columns = list->GetColumnCount();
  mAppliedWidths.resize(columns, 0);
  for (int column = 0; column < columns; ++column) {
    const int width = list->GetColumnTextWidth(column);
    if (width == mAppliedWidths[column]) continue;
    mAppliedWidths[column] = width;
    // Width 0 is the header's default width, which a person may then change.
    header()->resizeSection(column, width > 0 ? CharsToPixels(width) : header()->defaultSectionSize());
  }
}

int KIVQtMultiList::CharsToPixels(int characters) const {
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  // The delegate pads each cell a little more than the focus frame, and capitals are wider
  // than the average: short columns ("UnTag" in 5 characters) get one character more.
  const int room = characters < 10 ? characters + 1 : characters;
  return room * fontMetrics().averageCharWidth() + 2 * margin + 6;
}

int KIVQtMultiList::RowHeight() const {
  const int fallback = fontMetrics().height() + 2 * style()->pixelMetric(QStyle::PM_FocusFrameVMargin, nullptr, this);
  return mModel->rowCount() > 0 ? std::max(sizeHintForRow(0), fallback) : fallback;
}

QSize KIVQtMultiList::sizeHint() const {
  QSize hint = QTreeView::sizeHint();
  const KIVDlgMultiList* list = GetList();
  if (!list) return hint;
  const int frame = 2 * frameWidth();
  if (const int width = list->GetVisibleTextWidth(); width > 0)
    hint.setWidth(CharsToPixels(width) + frame + verticalScrollBar()->sizeHint().width());
  if (const int height = list->GetVisibleTextHeight(); height > 0)
    hint.setHeight(height * RowHeight() + header()->sizeHint().height() + frame);
  return hint;
}

std::vector<int> KIVQtMultiList::ViewLines() const {
  std::vector<int> lines;
  for (const QItemSelectionRange& range : selectionModel()->selection())
    for (int row = range.top(); row <= range.bottom(); ++row)
      if (const int line = mModel->LineOfRow(row); line >= 0) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

bool KIVQtMultiList::ListHolds(const std::vector<int>& lines) const {
  const KIVDlgMultiList* list = GetList();
  if (!list || list->GetSelectCount() != static_cast<int>(lines.size())) return false;
  return std::all_of(lines.begin(), lines.end(), [list](int line) { return list->IsSelected(line); });
}

void KIVQtMultiList::Commit(int column) {
  mUserChanged = false;
  KIVDlgMultiList* list = GetList();
  if (!list) return;
  std::vector<int> lines = ViewLines();
  if (mSelectionFromList && (QGuiApplication::keyboardModifiers() & Qt::ControlModifier)) {
    // The view holds only what was just clicked: toggle it within the list's selection.
    std::vector<int> kept(list->GetSelectCount());
    list->GetSelect(kept.data(), static_cast<int>(kept.size()));
    for (int line : lines) {
      auto at = std::lower_bound(kept.begin(), kept.end(), line);
      if (at != kept.end() && *at == line) kept.erase(at);
      else kept.insert(at, line);
    }
    lines.swap(kept);
  }
  if (column < 0) column = std::max(0, list->GetSelectedColumn());
  // A notification callback may delete the list (Detach follows) or even this widget.
  QPointer<KIVQtMultiList> self(this);
  if (lines.size() == 1)
    list->UserSelect(lines[0], column);
  else if (!lines.empty())
    list->UserSelect(lines.data(), static_cast<int>(lines.size()), column);
  if (!self) return;
  // Leaving an accepted selection alone keeps Qt's Shift anchor and range in progress.
  if (!ListHolds(lines)) SyncSelection();
}

void KIVQtMultiList::mousePressEvent(QMouseEvent* event) {
  SyncSelectionMode();
  mUserChanged = false;
  const QModelIndex index = indexAt(event->position().toPoint());
  QTreeView::mousePressEvent(event);
  // A click on a line is a choice even when the selection stays the same.
  if ((index.isValid() && event->button() == Qt::LeftButton) || mUserChanged)
    Commit(index.isValid() ? index.column() : currentIndex().column());
}

void KIVQtMultiList::mouseReleaseEvent(QMouseEvent* event) {
  // Not cleared first: a drag selects on mouse moves and is handed over here, once.
  QTreeView::mouseReleaseEvent(event);
  if (!mUserChanged) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  Commit(index.isValid() ? index.column() : currentIndex().column());
}

void KIVQtMultiList::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  KIVDlgMultiList* list = GetList();
  if (event->button() != Qt::LeftButton || !index.isValid() || !list) {
    QTreeView::mouseDoubleClickEvent(event);
    return;
  }
  mUserChanged = false;
  QPointer<KIVQtMultiList> self(this);
  list->UserActivate(mModel->LineOfRow(index.row()), index.column());
  if (self) SyncSelection();  // activating selects that one line
}

void KIVQtMultiList::keyPressEvent(QKeyEvent* event) {
  // Return on the current line acts as a double click on it.
  const QModelIndex current = currentIndex();
  KIVDlgMultiList* list = GetList();
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && current.isValid() && list) {
    QPointer<KIVQtMultiList> self(this);
    list->UserActivate(mModel->LineOfRow(current.row()), current.column());
    if (self) SyncSelection();
    return;
  }
  SyncSelectionMode();
  mUserChanged = false;
  QTreeView::keyPressEvent(event);
  if (mUserChanged) Commit(currentIndex().column());
}
