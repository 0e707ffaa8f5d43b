// The "Properties" table driven by the script, headless: one line per model with its
// box and triangles, saved to a file, an unwritable path refused.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "apps/navview/BuiltinPlant.h"
#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewSession.h"
#include "browsing/NavPropertiesViewer.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgMultiList.h"

namespace fs = std::filesystem;

namespace {
std::string Do(NavviewScript& script, const std::string& line, bool expectFailure = false) {
  bool quit = false, failed = false;
  std::string text = script.Execute(line, quit, failed);
  EXPECT_EQ(failed, expectFailure) << line << ": " << text;
  return text;
}

TEST(NavviewProperties, ScriptShowsSavesAndRefusesAnUnwritablePath) {
  NavviewSession session{320, 200};
  NavviewScript script{session};
  // An empty scene gives an empty table, not a failure.
  EXPECT_EQ(Do(script, "properties"), "0 models");
  session.LoadBuiltin(1);
  const int models = BuiltinPlant::ModelsPerUnit();
  EXPECT_EQ(Do(script, "properties"), std::to_string(models) + " models");
  NavPropertiesViewer* table = script.GetProperties().GetViewer();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->GetVisibility(), KIVDialog::VisibilityShown);
  ASSERT_EQ(table->GetNumberOfProperty(), 6);
  EXPECT_EQ(table->GetProperty(6).GetUtf8(), "Triangles");
  EXPECT_EQ(table->GetPropertyValue(1, 1).GetUtf8(), "U01-01 Slab");
  EXPECT_EQ(table->GetPropertyValue(1, 3).GetUtf8(), "(built-in)");
  // Every model has geometry: a box whose corners are ordered, and triangles.
  for (int o = 1; o <= models; ++o) {
    std::istringstream lo(table->GetPropertyValue(o, 4).GetUtf8()), hi(table->GetPropertyValue(o, 5).GetUtf8());
    float a[3] = {}, b[3] = {};
    ASSERT_TRUE(lo >> a[0] >> a[1] >> a[2]) << o;
    ASSERT_TRUE(hi >> b[0] >> b[1] >> b[2]) << o;
    for (int i = 0; i < 3; ++i) EXPECT_LE(a[i], b[i]) << o;
    EXPECT_GT(std::stoll(table->GetPropertyValue(o, 6).GetUtf8()), 0) << o;
  }

  const fs::path dir = fs::temp_directory_path() / ("navview_props_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "props.txt";
  EXPECT_EQ(Do(script, "properties save " + file.string()),
            std::to_string(models) + " models saved to " + file.string());
  std::ifstream in(file);
  int lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  EXPECT_EQ(lines, models);
  const fs::path blocked = dir / "no" / "props.txt";
  EXPECT_EQ(Do(script, "properties save " + blocked.string(), true), "cannot write '" + blocked.string() + "'");
  Do(script, "properties print", true);
  KIVApplication::MainApplication()->ProcessDeferred();
  fs::remove_all(dir);
}
}  // namespace
