// The generic list on 1,000,000 objects with four text columns, and in the same binary the
// anchor a Qt user would reach for: QSortFilterProxyModel over a QStandardItemModel of the
// same rows, filtered with a wildcard and sorted on the first column. Our operations:
// bulk add (suspended updates, one refresh), a wildcard filter on the first column, a
// combined sort (alphanumeric, selected, tagged, type), a find that scans to the end, the
// text export; then the Qt view's repaint of its visible rows after a filter change.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dialogs/NavListGeneric.h"
#include "dialogs/NavMultiListTxt.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/qt/KIVQtMultiList.h"
#include "host/qt/KIVQtMultiListModel.h"

namespace {

constexpr int kObjects = 1000000;
constexpr int kColumns = 4;
const char* const kPattern = "*12[0-9]*";
const char* const kLastName = "part-0999999";  // only the last line holds it

struct Row {
  std::string cells[kColumns];
  int type, selected, tagged;
};

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = [] {
    std::mt19937 rng(19);
    const char* states[] = {"Shown", "Hidden", "Locked"};
    std::vector<Row> r(kObjects);
    for (int i = 0; i < kObjects; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "part-%07d", static_cast<int>(i == kObjects - 1 ? 999999 : rng() % 999999));
      r[i].cells[0] = name;
      r[i].cells[1] = std::to_string(rng() % 100000);
      r[i].cells[2] = states[rng() % 3];
      r[i].cells[3] = "/plant/area" + std::to_string(i % 97) + "/unit" + std::to_string(i);
      r[i].type = static_cast<int>(rng() % 5);
      r[i].selected = rng() % 10 == 0;
      r[i].tagged = rng() % 7 == 0;
    }
    return r;
  }();
  return rows;
}

std::vector<int>& Objects() {
  static std::vector<int> objects(kObjects);
  return objects;
}

void Cycle() { KIVApplication::MainApplication()->ProcessDeferred(); }

// A shown window holding a list of every row.
struct ListWindow {
  std::unique_ptr<KIVDlgDialog> window;
  NavListGeneric* list = nullptr;

  ListWindow() {
    window = std::make_unique<KIVDlgDialog>(nullptr, "W", KIVDlgWindow::StyleNoButtons);
    window->SetVisibility(KIVDialog::VisibilityShown);
    list = new NavListGeneric(nullptr, window.get(), "Bench", 1, 0x1 | 0x400);
    for (int t = 0; t < 5; ++t) {
      NavListType type;
      type.id = t;
      type.name = "Type" + std::to_string(t);
      type.titles = {"Name", "Size", "State", "Path"};
      type.widths = {14, 8, 8, 30};
      list->AddTypeObject(type, 0, 0);
    }
    Cycle();  // the window exists
  }
  void Fill() {
    const std::vector<Row>& rows = Rows();
    list->InactiveUpdate();
    for (int i = 0; i < kObjects; ++i) {
      auto* texts = new KIVUnicodeString[kColumns];
      for (int c = 0; c < kColumns; ++c) texts[c] = KIVUnicodeString(rows[i].cells[c]);
      list->AddObject(&Objects()[i], texts, rows[i].type, -1, rows[i].selected, rows[i].tagged, 1, kColumns);
    }
    list->ActiveUpdate();
    Cycle();
  }
};

ListWindow& Filled() {
  static ListWindow* w = [] {
    auto* made = new ListWindow;
    made->Fill();
    return made;
  }();
  return *w;
}

void BM_Ours_BulkAddThenRefresh(benchmark::State& state) {
  Rows();
  for (auto _ : state) {
    ListWindow w;
    w.Fill();
    benchmark::DoNotOptimize(w.list->GetMultiList()->GetLineCount());
    state.PauseTiming();
    w.window.reset();
    state.ResumeTiming();
  }
  state.counters["lines"] = kObjects;
}

void BM_Ours_WildcardFilter(benchmark::State& state) {
  NavListGeneric* list = Filled().list;
  for (auto _ : state) {
    list->SetFilter(kPattern);
    Cycle();
    state.counters["shown"] = list->GetObjectInCurrentViewCount();
    state.PauseTiming();
    list->SetFilter("*");
    Cycle();
    state.ResumeTiming();
  }
}

void BM_Ours_CombinedSort(benchmark::State& state) {
  NavListGeneric* list = Filled().list;
  int keys[4] = {NavListGeneric::kKeyText, NavListGeneric::kKeySelected, NavListGeneric::kKeyTagged,
                 NavListGeneric::kKeyType};
  int descending[4] = {0, 1, 1, 1};
  for (auto _ : state) {
    list->SortObjectCombinatoire(keys, descending, 4);  // the four passes and the lines shown again
    state.PauseTiming();
    list->UpdateDisplayListDiffered();  // back to insertion order
    state.ResumeTiming();
  }
}

void BM_Ours_FindToTheEnd(benchmark::State& state) {
  NavListGeneric* list = Filled().list;
  for (auto _ : state) benchmark::DoNotOptimize(list->FindObject(kLastName, 0, 0, -1, 0));
}

void BM_Ours_ExportText(benchmark::State& state) {
  NavListGeneric* list = Filled().list;
  const std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/list_bench_ours.txt";
  NavMultiListTxt* exporter = NavMultiListTxt::CreateMultiTxt(nullptr, list->GetMultiList(), nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(exporter->GenerateTxt(KIVUnicodeString(path)));
  std::remove(path.c_str());
}

// The Qt view of the list after a filter change: the model is reset and only the rows in
// view are painted.
void BM_Ours_ViewRepaintAfterFilter(benchmark::State& state) {
  NavListGeneric* list = Filled().list;
  KIVQtMultiList view(list->GetMultiList());
  view.resize(900, 700);
  view.show();
  QApplication::processEvents();
  bool narrow = false;
  for (auto _ : state) {
    state.PauseTiming();
    list->SetFilter(narrow ? kPattern : "*");
    narrow = !narrow;
    Cycle();  // the list's own refresh, measured above
    state.ResumeTiming();
    view.Sync(KIVDlgProperty::Lines);
    view.viewport()->repaint();
  }
  list->SetFilter("*");
  Cycle();
}

// ---------------------------------------------------------------------------------------
// The anchor.

struct QtRows {
  QStandardItemModel model;
  QSortFilterProxyModel proxy;
  QtRows() {
    const std::vector<Row>& rows = Rows();
    model.setColumnCount(kColumns);
    model.setRowCount(kObjects);
    for (int i = 0; i < kObjects; ++i)
      for (int c = 0; c < kColumns; ++c)
        model.setItem(i, c, new QStandardItem(QString::fromStdString(rows[i].cells[c])));
    proxy.setSourceModel(&model);
    proxy.setFilterKeyColumn(0);
  }
};

QtRows& QtFilled() {
  static QtRows* rows = new QtRows;
  return *rows;
}

void BM_Qt_BulkAdd(benchmark::State& state) {
  Rows();
  for (auto _ : state) {
    auto rows = std::make_unique<QtRows>();
    benchmark::DoNotOptimize(rows->proxy.rowCount());
    state.PauseTiming();
    rows.reset();
    state.ResumeTiming();
  }
}

void BM_Qt_WildcardFilter(benchmark::State& state) {
  QtRows& rows = QtFilled();
  const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(kPattern));
  for (auto _ : state) {
    rows.proxy.setFilterRegularExpression(pattern);
    state.counters["shown"] = rows.proxy.rowCount();
    state.PauseTiming();
    rows.proxy.setFilterRegularExpression(QRegularExpression());
    state.ResumeTiming();
  }
}

void BM_Qt_SortFirstColumn(benchmark::State& state) {
  QtRows& rows = QtFilled();
  for (auto _ : state) {
    rows.proxy.sort(0);
    benchmark::DoNotOptimize(rows.proxy.index(0, 0).data());
    state.PauseTiming();
    rows.proxy.sort(-1);
    state.ResumeTiming();
  }
}

void BM_Qt_FindToTheEnd(benchmark::State& state) {
  QtRows& rows = QtFilled();
  for (auto _ : state)
    benchmark::DoNotOptimize(rows.proxy.match(rows.proxy.index(0, 0), Qt::DisplayRole, QString(kLastName), 1,
                                              Qt::MatchContains));
}

void BM_Qt_ExportText(benchmark::State& state) {
  QtRows& rows = QtFilled();
  const QString path = QString::fromUtf8(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/list_bench_qt.txt";
  for (auto _ : state) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) state.SkipWithError("cannot write");
    QTextStream out(&file);
    const int n = rows.proxy.rowCount();
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < kColumns; ++c) out << ' ' << rows.proxy.index(r, c).data().toString();
      out << '\n';
    }
  }
  QFile::remove(path);
}

}  // namespace

BENCHMARK(BM_Ours_BulkAddThenRefresh)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Ours_WildcardFilter)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Ours_CombinedSort)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Ours_FindToTheEnd)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Ours_ExportText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Ours_ViewRepaintAfterFilter)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_Qt_BulkAdd)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Qt_WildcardFilter)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Qt_SortFirstColumn)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Qt_FindToTheEnd)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Qt_ExportText)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
