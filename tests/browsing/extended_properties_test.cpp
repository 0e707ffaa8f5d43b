// The extended attribute window moving a bag through its number fields, and the
// properties table's sort, search and export as its user drives them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "browsing/NavExtendedAttribut.h"
#include "browsing/NavPropertiesViewer.h"
#include "navtools.h"
#include "tests/support/NotificationOwner.h"

namespace {
using EA = NavExtendedAttribut;
using PV = NavPropertiesViewer;

using Owner = NotificationOwner;

std::string Label(EA* panel, int i) { return panel->GetInfoLabel(i)->GetTitle().GetUtf8(); }

TEST(ExtendedAttribut, ShowsABagAndItsMatrixFieldsMoveIt) {
  Owner owner;
  KIVDlgDialog window(nullptr, "W");
  auto* panel = new EA(&owner, &window);
  auto* bag = new KIV3DBagRep;
  auto* leaf = new KIV3DRep;
  bag->AddChild(leaf);
  bag->SetIdentificator(42L);
  bag->SetMatrix(KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                              KIVMathPointf(5.0f, 0.5f, 1234.0f)));
  // Hidden: nothing is shown yet.
  panel->UpdatePalette("Pump", bag, 2);
  EXPECT_EQ(panel->GetCurrentRep(), nullptr);
  panel->AffichePanel(1);
  panel->UpdatePalette("Pump", bag, 2);
  EXPECT_EQ(panel->GetTitle().GetUtf8(), "Extended attributs of Pump");
  EXPECT_EQ(Label(panel, EA::InfoId), "Model Identificator : 42");
  EXPECT_EQ(Label(panel, EA::InfoFathers), "Number of father : 0 (2 for the viewer)");
  EXPECT_EQ(Label(panel, EA::InfoChildren), "Number of chidren : 1");
  EXPECT_EQ(Label(panel, EA::InfoType), "Rep type : KIV3DBagRep");
  EXPECT_EQ(Label(panel, EA::InfoTexture), "Texture : NO");
  // The fields' steps follow the magnitude: 0.5 and 5 give e = 0, 1234 gives e = 3.
  float lo = 0, hi = 0, steps = 0;
  panel->GetTranslationSpinner(1)->GetRange(lo, hi, steps);
  EXPECT_FLOAT_EQ(steps, 2 * EA::kLimit * 10);
  panel->GetTranslationSpinner(2)->GetRange(lo, hi, steps);
  EXPECT_FLOAT_EQ(steps, 2 * EA::kLimit * 10 / 1000);
  EXPECT_FLOAT_EQ(panel->GetTranslationSpinner(2)->GetCurrentValue(), 1234.0f);

  // A person types a new x: the bag moves.
  ASSERT_EQ(panel->GetTranslationSpinner(0)->GetSensitivity(), KIVDialog::SensitivityOn);
  panel->GetTranslationSpinner(0)->UserSetValue(-7.25f);
  ASSERT_NE(bag->GetMatrix(), nullptr);
  EXPECT_FLOAT_EQ(bag->GetMatrix()->Get(3, 0), -7.25f);
  EXPECT_FLOAT_EQ(bag->GetMatrix()->Get(3, 2), 1234.0f);
  panel->GetRotationSpinner(0)->UserSetValue(2.0f);  // a scale along x
  EXPECT_FLOAT_EQ(bag->GetMatrix()->Get(0, 0), 2.0f);

  // A leaf: no matrix fields.
  panel->UpdatePalette(nullptr, leaf, 1);
  EXPECT_EQ(panel->GetTitle().GetUtf8(), "Extended attributs of Selected Object");
  EXPECT_EQ(Label(panel, EA::InfoType), "Rep type : KIV3DRep");
  EXPECT_EQ(panel->GetRotationSpinner(4)->GetSensitivity(), KIVDialog::SensitivityOff);

  // The rep leaves the scene while shown: edits are refused, nothing is shown.
  panel->UpdatePalette("Pump", bag, 2);
  bag->Destroy();
  EXPECT_EQ(panel->GetCurrentRep(), nullptr);
  panel->GetTranslationSpinner(0)->UserSetValue(3.0f);
  panel->UpdatePalette(nullptr, nullptr, 0);
  EXPECT_EQ(panel->GetTitle().GetUtf8(), "Extended attributs of No Selection");
  EXPECT_EQ(Label(panel, EA::InfoChildren), "Number of children : 0");
  EXPECT_EQ(panel->GetTranslationSpinner(0)->GetSensitivity(), KIVDialog::SensitivityOff);

  // Closing by the close box hides the window and tells the father once.
  panel->UserClose();
  EXPECT_EQ(panel->GetVisibility(), KIVDialog::VisibilityHidden);
  EXPECT_EQ(owner.Count("KIVDlgWindCloseNotification"), 1);
}

TEST(ExtendedAttribut, PlanarBagUsesTwoDirectionsAndRefusesBadInput) {
  KIVDlgDialog window(nullptr, "W");
  auto* panel = new EA(nullptr, &window);
  KIV2DBagRep bag;
  panel->AffichePanel(1);
  panel->UpdatePalette("Plan", &bag, 1);
  EXPECT_EQ(panel->GetRotationSpinner(1)->GetSensitivity(), KIVDialog::SensitivityOn);
  EXPECT_EQ(panel->GetRotationSpinner(2)->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(panel->GetTranslationSpinner(2)->GetSensitivity(), KIVDialog::SensitivityOff);
  panel->GetTranslationSpinner(1)->UserSetValue(4.5f);
  ASSERT_NE(bag.GetMatrix(), nullptr);
  EXPECT_FLOAT_EQ(bag.GetMatrix()->Get(2, 1), 4.5f);
  EXPECT_STREQ(EA::GetRepName(&bag), "KIV2DBagRep");
  EXPECT_STREQ(EA::GetRepName(nullptr), "Unknown");
  EXPECT_EQ(EA::FormatSpinner(nullptr, 1.0f, -1.0f, 1.0f, 1), 0);
  EXPECT_EQ(EA::FormatSpinner(panel->GetRotationSpinner(0), NAN, -1.0f, 1.0f, 1), 0);
  panel->UpdatePalette(nullptr, nullptr, 0);  // the bag goes before the panel
}

// A table of three objects, numbers in the sixth column.
PV* Table(KIVDialog* parent) {
  auto* table = new PV(parent, "Props", "Properties");
  const char* names[6] = {"Name", "File", "A", "B", "C", "Triangles"};
  const char* rows[3][2] = {{"10", "9"}, {"9", "10"}, {"100", "2"}};
  for (auto& row : rows) {
    const int object = table->AddObject();
    KIVUnicodeString name0(names[0]), value0(row[0]), name5(names[5]), value5(row[1]);
    EXPECT_EQ(table->AddProperty(object, &name0, &value0, 0), 0);
    EXPECT_EQ(table->AddProperty(object, &name5, &value5, 0), 0);
  }
  return table;
}

std::vector<std::string> Column(PV* table, int column) {
  std::vector<std::string> out;
  for (int l = 0; l < table->GetList()->GetLineCount(); ++l) out.push_back(table->GetList()->GetCell(l, column).GetUtf8());
  return out;
}

TEST(PropertiesViewer, TableQueriesAndTheFirstShowFixesTheColumns) {
  KIVDlgDialog window(nullptr, "W");
  PV* table = Table(&window);
  EXPECT_EQ(table->GetNumberOfObject(), 3);
  EXPECT_EQ(table->GetNumberOfProperty(), 2);
  EXPECT_EQ(table->GetProperty(2).GetUtf8(), "Triangles");
  EXPECT_EQ(table->GetPropertyValue(2, 2).GetUtf8(), "10");
  table->SetDefaultValue(KIVUnicodeString("-"));
  EXPECT_EQ(table->GetProperty(3).GetUtf8(), "-");
  EXPECT_EQ(table->GetPropertyValue(4, 1).GetUtf8(), "-");
  EXPECT_EQ(table->GetPropertyValue(1, 0).GetUtf8(), "-");
  KIVUnicodeString name("Name"), value("x");
  EXPECT_EQ(table->AddProperty(0, &name, &value, 0), 1);
  EXPECT_EQ(table->AddProperty(1, nullptr, &value, 0), 1);
  EXPECT_EQ(table->GetList(), nullptr);
  EXPECT_EQ(table->SortByColumnNumber(1), -1);  // nothing shown yet

  table->SetVisibility(KIVDialog::VisibilityShown);
  ASSERT_NE(table->GetList(), nullptr);
  EXPECT_EQ(table->GetList()->GetColumnCount(), 2);
  EXPECT_EQ(table->GetList()->GetColumnTitle(1).GetUtf8(), "Triangles");
  EXPECT_EQ(table->GetOKTitle().GetUtf8(), "Close");
  KIVUnicodeString fresh("Volume");
  EXPECT_EQ(table->AddProperty(1, &fresh, &value, 0), 1);
  EXPECT_EQ(table->GetNumberOfProperty(), 2);
  // A new object after the show gets a line of default cells.
  EXPECT_EQ(table->AddObject(), 4);
  EXPECT_EQ(table->GetList()->GetLineCount(), 4);
  EXPECT_EQ(table->GetList()->GetCell(3, 1).GetUtf8(), "-");
  // The close button hides the window.
  table->UserOK();
  EXPECT_EQ(table->GetVisibility(), KIVDialog::VisibilityHidden);
}

TEST(PropertiesViewer, SortsTextAndNumberColumnsFromTheMenu) {
  KIVDlgDialog window(nullptr, "W");
  PV* table = Table(&window);
  table->SetVisibility(KIVDialog::VisibilityShown);
  KIVDlgMultiList* list = table->GetList();
  EXPECT_EQ(table->SortByColumnNumber(1), -1);  // no column chosen: nothing happens
  EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"10", "9", "100"}));

  // The sixth column sorts as numbers: 10 after 9.
  auto* wide = new PV(&window, "Wide", "Wide");
  for (int o = 0; o < 3; ++o) {
    wide->AddObject();
    for (int c = 0; c < 6; ++c) {
      KIVUnicodeString name(std::string(1, static_cast<char>('a' + c)).c_str());
      KIVUnicodeString value(c == 5 ? (o == 0 ? "10" : o == 1 ? "9" : "100") : "x");
      wide->AddProperty(o + 1, &name, &value, 0);
    }
  }
  wide->SetVisibility(KIVDialog::VisibilityShown);
  wide->GetList()->UserSelect(0, 5);
  EXPECT_EQ(wide->SortByColumnNumber(1), 0);
  EXPECT_EQ(Column(wide, 5), (std::vector<std::string>{"9", "10", "100"}));

  // The first column sorts as texts, through the context menu: 10 before 9.
  list->UserSelect(0, 0);
  auto* up = dynamic_cast<KIVDlgPushItem*>(list->LookupChild(PV::SortUpItemTag));
  ASSERT_NE(up, nullptr);
  up->UserActivate();
  EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"10", "100", "9"}));
  EXPECT_EQ(Column(table, 1), (std::vector<std::string>{"9", "2", "10"}));  // lines move whole
  EXPECT_EQ(table->GetPropertyValue(3, 1).GetUtf8(), "9");
  dynamic_cast<KIVDlgPushItem*>(list->LookupChild(PV::SortDownItemTag))->UserActivate();
  EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"9", "100", "10"}));
}

TEST(PropertiesViewer, SearchScrollsOnlyToALaterLine) {
  KIVDlgDialog window(nullptr, "W");
  auto* table = new PV(&window, "Many", "Many");
  KIVUnicodeString name("Name");
  for (int o = 1; o <= 30; ++o) {
    table->AddObject();
    KIVUnicodeString value(("model" + std::to_string(o)).c_str());
    table->AddProperty(o, &name, &value, 0);
  }
  table->SetVisibility(KIVDialog::VisibilityShown);
  KIVDlgMultiList* list = table->GetList();
  list->UserSelect(4, 0);                                       // "model5"
  EXPECT_EQ(table->SearchText(KIVUnicodeString("model5")), 4);  // the start line itself
  EXPECT_EQ(list->GetFirstLine(), 0);
  EXPECT_EQ(table->SearchText(KIVUnicodeString("Model")), -1);  // case matters
  // Through the panel, as a person types and confirms.
  dynamic_cast<KIVDlgPushItem*>(list->LookupChild(PV::SearchItemTag))->UserActivate();
  ASSERT_NE(table->GetSearchPanel(), nullptr);
  EXPECT_EQ(table->GetSearchPanel()->GetVisibility(), KIVDialog::VisibilityShown);
  table->GetSearchEditor()->UserSetText(KIVUnicodeString("model25"));
  table->GetSearchPanel()->UserOK();
  EXPECT_EQ(table->GetSearchPanel()->GetVisibility(), KIVDialog::VisibilityHidden);
  EXPECT_EQ(list->GetFirstLine(), 24);
}

TEST(PropertiesViewer, ExportWritesTheTableAndRefusesAnUnwritablePath) {
  KIVDlgDialog window(nullptr, "W");
  PV* table = Table(&window);
  EXPECT_EQ(table->Export(KIVUnicodeString("/tmp/never.txt")), -1);  // never shown: no list
  table->SetVisibility(KIVDialog::VisibilityShown);
  const auto dir = std::filesystem::temp_directory_path() / ("props_export_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "table.txt";
  ASSERT_EQ(table->Export(KIVUnicodeString(file.string().c_str())), 0);
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), " 10 9\n 9 10\n 100 2\n");
  const auto blocked = dir / "missing" / "table.txt";
  EXPECT_EQ(table->Export(KIVUnicodeString(blocked.string().c_str())), -1);
  EXPECT_FALSE(std::filesystem::exists(blocked));
  KIVApplication::MainApplication()->ProcessDeferred();
  std::filesystem::remove_all(dir);
}
}  // namespace
