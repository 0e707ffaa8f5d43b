#pragma once
// The widget of a multi-list: a flat, sortable tree view over KIVQtMultiListModel. The
// dialog model holds the truth: a person's clicks and keys become its User… calls, and
// the view's selection is then taken back from it, so both paths behave alike.

#include <QTreeView>
#include <vector>

#include "host/dialog/KIVDlgPresenter.h"

class KIVDlgMultiList;
class KIVQtMultiListModel;

class KIVQtMultiList : public QTreeView {
 public:
  explicit KIVQtMultiList(KIVDlgMultiList* list, QWidget* parent = nullptr);

  /// The list shown; null once detached.
  KIVDlgMultiList* GetList() const;
  KIVQtMultiListModel* GetModel() const { return mModel; }
  /// Shows a change of the list: Lines (cells, titles, column widths; the sort is kept),
  /// Selection, Scroll and TextSize. Other properties are the presenter's.
  void Sync(KIVDlgProperty which);
  /// The list is going away: drop it and show nothing. Safe to call more than once.
  void Detach();

  /// From the visible text width (characters) and height (lines) when they are set.
  QSize sizeHint() const override;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  /// Paints the list's own selection when it is too scattered for the view's model.
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  void SyncLines();
  void SyncSelection();
  void ApplySelection();
  void SyncScroll();
  void SyncWidths();
  void SyncSelectionMode();
  /// Hands the view's selection to the list as a person's choice, then shows what the
  /// list made of it.
  void Commit(int column);
  std::vector<int> ViewLines() const;
  bool ListHolds(const std::vector<int>& lines) const;
  int CharsToPixels(int characters) const;
  int RowHeight() const;

  KIVQtMultiListModel* mModel;  // holds the list
  std::vector<int> mAppliedWidths;  // so that a person's resizing survives line changes
  bool mSyncing = false;            // the view's selection is being set from the list
  bool mUserChanged = false;        // the view's selection changed by input since the last commit
  bool mSelectionPosted = false;    // an ApplySelection waits in the event queue
  bool mSelectionFromList = false;  // the selection is painted from the list (too many ranges)
  static constexpr int kMaxSelectionRanges = 2000;
};
