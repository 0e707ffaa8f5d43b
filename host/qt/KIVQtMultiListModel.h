#pragma once
// The Qt item model over a multi-list of the dialog model. Cells are converted to QString
// only when a view asks for them (the visible ones), so long lists cost nothing to show.
// Sorting is a permutation of the lines kept here: the dialog model's order never changes,
// and view rows map back to model lines through LineOfRow / RowOfLine.

#include <QAbstractTableModel>
#include <memory>
#include <vector>

class KIVDlgMultiList;

class KIVQtMultiListModel : public QAbstractTableModel {
 public:
  /// The list is not owned; null gives an empty model.
  explicit KIVQtMultiListModel(KIVDlgMultiList* list, QObject* parent = nullptr);

  /// The list, or null once detached or destroyed.
  KIVDlgMultiList* GetList() const { return mLife.expired() ? nullptr : mList; }
  /// Replaces the list (null detaches) and resets.
  void SetList(KIVDlgMultiList* list);
  /// To call when the list's lines or columns changed; keeps the sort.
  void Reset();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  /// A stable, locale-aware sort by the column's texts; column -1 restores the model order.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
  int GetSortColumn() const { return mSortColumn; }
  Qt::SortOrder GetSortOrder() const { return mSortOrder; }

  /// Sorted, and the order is not built since the last reset: mapping would sort now.
  bool IsOrderPending() const { return mOrderStale && Sorted(); }
  /// The model line shown at a view row, and back; -1 out of range.
  int LineOfRow(int row) const;
  int RowOfLine(int line) const;

 private:
  void EnsureOrder() const;
  bool Sorted() const { return mSortColumn >= 0 && mSortColumn < mColumns; }

  KIVDlgMultiList* mList;
  std::weak_ptr<int> mLife;  // a list destroyed without a detach is never touched
  // Counts as of the last reset: a view must not see rows appear without being told.
  int mLines = 0;
  int mColumns = 0;
  int mSortColumn = -1;
  Qt::SortOrder mSortOrder = Qt::AscendingOrder;
  // Built on first use after a reset, so that a burst of resets sorts once. Both stay
  // empty while unsorted: rows are lines.
  mutable bool mOrderStale = false;
  mutable std::vector<int> mLineOfRow;
  mutable std::vector<int> mRowOfLine;
};
