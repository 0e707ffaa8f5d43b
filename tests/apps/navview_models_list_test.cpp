// The "Models" window driven by the script, headless: filter, sort, find, export, and the
// selection shared with the viewer's highlights.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "apps/navview/BuiltinPlant.h"
#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewSession.h"
#include "dialogs/NavListGeneric.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "viewer/NavViewerExtand.h"

namespace fs = std::filesystem;

namespace {

class ModelsListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.LoadBuiltin(1);
    session.Show();
  }
  std::string Do(const std::string& line, bool expectFailure = false) {
    bool quit = false, failed = false;
    std::string text = script.Execute(line, quit, failed);
    EXPECT_EQ(failed, expectFailure) << line << ": " << text;
    return text;
  }
  std::vector<std::string> Column(int c) {
    std::vector<std::string> out;
    for (const auto& t : List()->GetMultiList()->GetColumnItems(c)) out.push_back(t.GetUtf8());
    return out;
  }
  NavListGeneric* List() { return script.GetModelsList().GetList(); }
  int NameColumn() { return List()->GetFirstDataColumn(); }

  NavviewSession session{320, 200};
  NavviewScript script{session};
};

TEST_F(ModelsListTest, ListShowsTheWindowWithOneLinePerModel) {
  const std::string text = Do("list");
  EXPECT_EQ(text.rfind(std::to_string(BuiltinPlant::ModelsPerUnit()) + " models", 0), 0u) << text;
  KIVDlgDialog* window = script.GetModelsList().GetWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetTitle().GetUtf8(), "Models");
  EXPECT_EQ(window->GetVisibility(), KIVDialog::VisibilityShown);
  KIVDlgMultiList* lines = List()->GetMultiList();
  ASSERT_EQ(lines->GetLineCount(), BuiltinPlant::ModelsPerUnit());
  EXPECT_EQ(lines->GetColumnTitle(NameColumn()).GetUtf8(), "Name");
  EXPECT_EQ(lines->GetColumnTitle(NameColumn() + 1).GetUtf8(), "Type");
  EXPECT_EQ(lines->GetColumnTitle(NameColumn() + 2).GetUtf8(), "Triangles");
  EXPECT_EQ(lines->GetCell(0, NameColumn()).GetUtf8(), "U01-01 Slab");
  EXPECT_EQ(lines->GetCell(0, NameColumn() + 1).GetUtf8(), "Slab");
  EXPECT_EQ(lines->GetCell(0, NameColumn() + 2).GetUtf8(), "12");
  EXPECT_EQ(NavviewModelsList::TypeOf("U01-01 Tank 2"), "Tank");
  EXPECT_EQ(NavviewModelsList::TypeOf("42"), "Model");
}

TEST_F(ModelsListTest, FilterSortFindAndExportFromTheScript) {
  Do("list");
  EXPECT_EQ(Do("list filter *Tank*"), "filter *Tank*: 2 of " + std::to_string(BuiltinPlant::ModelsPerUnit()) +
                                          " models shown");
  EXPECT_EQ(Column(NameColumn()), (std::vector<std::string>{"U01-01 Tank 1", "U01-01 Tank 2"}));
  Do("list filter U01-01 [CT]*");
  for (const auto& name : Column(NameColumn())) EXPECT_TRUE(name[7] == 'C' || name[7] == 'T') << name;
  Do("list filter *");

  const std::string sorted = Do("list sort alpha");
  std::vector<std::string> names = Column(NameColumn());
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  EXPECT_EQ(sorted, "sorted; first " + names.front());
  Do("list sort type,alpha");
  Do("list sort none");
  EXPECT_NE(Do("list sort sideways", true).find("unknown sort key 'sideways'"), std::string::npos);

  const std::string found = Do("list find Column");
  EXPECT_EQ(found.rfind("found U01-01 Column", 0), 0u) << found;
  EXPECT_EQ(Do("list find Zeppelin", true), "Unable to find the string Zeppelin in the current list");

  const fs::path file = fs::temp_directory_path() / ("navview_models_" + std::to_string(getpid()) + ".txt");
  EXPECT_EQ(Do("list export " + file.string()),
            "exported " + std::to_string(BuiltinPlant::ModelsPerUnit()) + " lines to " + file.string());
  std::ifstream in(file);
  std::string first;
  std::getline(in, first);
  EXPECT_NE(first.find("U01-01 Slab"), std::string::npos) << first;
  EXPECT_NE(first.find("UnTag"), std::string::npos) << first;
  fs::remove(file);
  EXPECT_EQ(Do("list export /nonexistent-dir/x.txt", true), "cannot write /nonexistent-dir/x.txt");
  EXPECT_NE(Do("list all", true).find("unexpected 'all'"), std::string::npos);
  EXPECT_EQ(Do("list filter", true).rfind("usage: list", 0), 0u);
  KIVApplication::MainApplication()->ProcessDeferred();
}

TEST_F(ModelsListTest, SelectionIsSharedWithTheViewer) {
  Do("list");
  // Script selection (the viewer's highlight) selects the line.
  Do("select U01-01 Column");
  session.Pump();
  session.GetViewer().Draw();
  ASSERT_EQ(List()->GetSelectCount(0), 1);
  void* selected = nullptr;
  int count = 1;
  List()->GetSelectObject(&selected, nullptr, count, 0);
  EXPECT_STREQ(session.GetScene().GetName(static_cast<KIVRep*>(selected)), "U01-01 Column");
  // A click on a line highlights that model only.
  KIVDlgMultiList* lines = List()->GetMultiList();
  lines->UserSelect(0, NameColumn());
  auto* slab = static_cast<KIVRep*>(List()->GetObjectOfLine(0));
  EXPECT_EQ(slab->GetHighlightMode(), 1);
  EXPECT_EQ(static_cast<KIVRep*>(selected)->GetHighlightMode(), 0);
}

}  // namespace
