// Qt widgets of the dialog model on the offscreen platform: a multi-list of 100,000 lines
// in 4 columns must fill, show, sort and take clicks without a visible pause.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/qt/KIVQtMultiList.h"
#include "host/qt/KIVQtMultiListModel.h"

namespace {

constexpr int kLines = 100000;
constexpr int kColumns = 4;

// Names in random order, numbers, a few repeated states and paths: columns that sort
// differently.
const std::vector<std::vector<KIVUnicodeString>>& Columns() {
  static const auto columns = [] {
    std::mt19937 rng(7);
    std::vector<std::vector<KIVUnicodeString>> c(kColumns, std::vector<KIVUnicodeString>(kLines));
    const char* states[] = {"Shown", "Hidden", "Locked"};
    for (int i = 0; i < kLines; ++i) {
      c[0][i] = (rng() % 2 ? "Node " : "node ") + std::to_string(rng() % 1000000);
      c[1][i] = std::to_string(rng() % 100000);
      c[2][i] = states[rng() % 3];
      c[3][i] = "/plant/area" + std::to_string(i % 97) + "/unit" + std::to_string(i);
    }
    return c;
  }();
  return columns;
}

struct ListWindow {
  std::unique_ptr<KIVDlgDialog> window = std::make_unique<KIVDlgDialog>(nullptr, "W", 0);
  KIVDlgMultiList* list = new KIVDlgMultiList(window.get(), "L", 0);  // the window deletes it

  ListWindow() {
    const KIVUnicodeString titles[kColumns] = {"Name", "Size", "State", "Path"};
    list->SetColumnTitles(kColumns, titles);
    for (int c = 0; c < kColumns; ++c) list->SetColumnItem(c, Columns()[c].data(), kLines);
  }
};

std::unique_ptr<KIVQtMultiList> MakeView(KIVDlgMultiList* list) {
  auto view = std::make_unique<KIVQtMultiList>(list);
  view->resize(800, 600);
  return view;
}

// Filling the model, the widget's Sync(Lines), then the first paint.
void BM_MultiListFillSyncPaint(benchmark::State& state) {
  Columns();
  for (auto _ : state) {
    ListWindow lw;
    auto view = MakeView(lw.list);
    view->Sync(KIVDlgProperty::Lines);
    benchmark::DoNotOptimize(view->grab());
    state.PauseTiming();
    view.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MultiListFillSyncPaint)->Unit(benchmark::kMillisecond);

// A paint alone, the view already laid out.
void BM_MultiListPaint(benchmark::State& state) {
  ListWindow lw;
  auto view = MakeView(lw.list);
  view->grab();
  for (auto _ : state) benchmark::DoNotOptimize(view->grab());
}
BENCHMARK(BM_MultiListPaint)->Unit(benchmark::kMillisecond);

// One more line and its Sync(Lines), as the presenter does after each SetLine; the
// argument sorts the view and selects a line first (1) or not (0).
void BM_MultiListAppendLineSync(benchmark::State& state) {
  ListWindow lw;
  auto view = MakeView(lw.list);
  if (state.range(0)) {
    view->sortByColumn(0, Qt::AscendingOrder);
    lw.list->SetSelect(10, 0);
    view->Sync(KIVDlgProperty::Selection);
  }
  const KIVUnicodeString line[kColumns] = {"node x", "1", "Shown", "/plant/x"};
  for (auto _ : state) {
    lw.list->SetLine(line, kColumns);
    view->Sync(KIVDlgProperty::Lines);
  }
}
BENCHMARK(BM_MultiListAppendLineSync)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A click on a header, alternating the order so that every iteration sorts; the
// argument is the column.
void BM_MultiListSort(benchmark::State& state) {
  ListWindow lw;
  auto view = MakeView(lw.list);
  lw.list->SetSelect(kLines / 2, 0);
  view->Sync(KIVDlgProperty::Selection);
  bool descending = false;
  for (auto _ : state) {
    descending = !descending;
    view->sortByColumn(static_cast<int>(state.range(0)), descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    benchmark::DoNotOptimize(view->GetModel()->LineOfRow(0));
  }
}
BENCHMARK(BM_MultiListSort)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// What the collator costs: the same permutation by byte order, for reference.
void BM_LineOrderByBytes(benchmark::State& state) {
  const auto& texts = Columns()[0];
  std::vector<int> order(kLines);
  for (auto _ : state) {
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return texts[a] < texts[b]; });
    benchmark::DoNotOptimize(order.data());
  }
}
BENCHMARK(BM_LineOrderByBytes)->Unit(benchmark::kMillisecond);

// A person's click on a row: press and release through the viewport, down to
// UserSelect and back; the argument sorts the view first (1) or not (0).
void BM_MultiListClickRow(benchmark::State& state) {
  ListWindow lw;
  auto view = MakeView(lw.list);
  if (state.range(0)) view->sortByColumn(0, Qt::AscendingOrder);
  view->grab();
  const QModelIndex first = view->GetModel()->index(0, 0), second = view->GetModel()->index(1, 0);
  const QPoint points[] = {view->visualRect(first).center(), view->visualRect(second).center()};
  int i = 0;
  for (auto _ : state) {
    const QPoint at = points[i++ & 1];
    QMouseEvent press(QEvent::MouseButtonPress, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &press);
    QApplication::sendEvent(view->viewport(), &release);
  }
  if (lw.list->GetSelectCount() != 1) state.SkipWithError("the click did not select");
}
BENCHMARK(BM_MultiListClickRow)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The model selects every line and the view shows it.
void BM_MultiListSyncSelectAll(benchmark::State& state) {
  ListWindow lw;
  lw.list->SetMultipleSelection(1);
  auto view = MakeView(lw.list);
  if (state.range(0)) view->sortByColumn(0, Qt::AscendingOrder);
  std::vector<int> all(kLines);
  std::iota(all.begin(), all.end(), 0);
  bool on = false;
  for (auto _ : state) {
    on = !on;
    lw.list->SetSelect(all.data(), on ? kLines : 0, 0);
    view->Sync(KIVDlgProperty::Selection);
  }
}
BENCHMARK(BM_MultiListSyncSelectAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  benchmark::Initialize(&argc, argv);
  QApplication app(argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
