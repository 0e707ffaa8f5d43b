// Message panels, the object editor, the text export, list to list, the chooser, the help
// command and the colour chooser, driven as their user drives them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "navtools.h"
#include "tests/support/NotificationOwner.h"

namespace {

using Father = NotificationOwner;

void Cycle() {
  KIVApplication::MainApplication()->ProcessDeferred();
  KIVApplication::MainApplication()->ProcessDeferred();
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(MessagePanel, OneShownAtATimeAndButtonsConfirm) {
  Father father;
  KIVDlgDialog window(nullptr, "W");
  auto* first = new NavMessagePanel(&father, &window, nullptr, NavMessagePanel::kWatchCancel, 0, 0);
  auto* second = new NavMessagePanel(&father, &window, "Second", NavMessagePanel::kInformation, 1, 0);
  EXPECT_STREQ(first->GetTag().CastToCharPtr(), "InformationWindow");
  EXPECT_EQ(first->GetTitle().GetUtf8(), "Message Window");
  EXPECT_EQ(second->GetOKTitle().GetUtf8(), "Close");
  EXPECT_EQ(first->GetOKTitle().GetUtf8(), "Ok");
  first->SetText("too   many  blanks", 1);
  EXPECT_EQ(first->GetText().GetUtf8(), "too many blanks");
  EXPECT_EQ(NavMessagePanel::xNavLastMessageShow, first);
  EXPECT_EQ(father.Count("NavPanelShowNotification"), 1);
  second->AffichePanel(1, 0);
  EXPECT_EQ(first->GetVisibility(), KIVDialog::VisibilityHidden);
  EXPECT_EQ(NavMessagePanel::xNavLastMessageShow, second);
  second->UserHelp();
  EXPECT_EQ(father.Count("NavAskHelpNotification"), 1);
  second->UserOK();
  EXPECT_EQ(second->GetConfirmeAction(), 1);
  EXPECT_EQ(NavMessagePanel::xNavLastMessageShow, nullptr);
  EXPECT_EQ(father.Count("KIVDlgWindCloseNotification"), 2);

  // The display switch refuses information panels unless forced.
  EXPECT_EQ(NavMessagePanel::SetDisplay(-1), 1);
  NavMessagePanel::SetDisplay(0);
  EXPECT_EQ(second->AffichePanel(1, 0), 0);
  EXPECT_EQ(first->AffichePanel(1, 0), 1);  // not an information panel
  EXPECT_EQ(NavMessagePanel::SetDisplay(-1), 0);
  first->UserCancel();
  EXPECT_EQ(first->GetConfirmeAction(), 0);
  NavMessagePanel::SetDisplay(1);

  // Destroyed once hidden with kind 0x4.
  auto* transient = new NavMessagePanel(nullptr, &window, "T", NavMessagePanel::kInformation | 0x4, 0, 0);
  std::weak_ptr<int> life = transient->GetLifeToken();
  transient->AffichePanel(1, 1);
  transient->UserClose();
  Cycle();
  EXPECT_TRUE(life.expired());
}

TEST(EditorGeneric, ApplyCancelAndCombos) {
  Father father;
  KIVDlgDialog window(nullptr, "W");
  NavListType type;
  type.titles = {"Name", "Visible", "Notes"};
  type.editorKinds = {0x2, 0x8, 0x1};
  KIVUnicodeString values[3] = {"part\nsecond line", "1", "a\nb"};
  auto* editor = new NavEditorGeneric(&father, &window, &type, values, 0);
  editor->AffichePanel(1);
  EXPECT_EQ(editor->GetTitle().GetUtf8(), "Browse & Edit value");
  auto* name = dynamic_cast<KIVDlgEditor*>(editor->GetValueWidget(0));
  auto* visible = dynamic_cast<KIVDlgCombo*>(editor->GetValueWidget(1));
  auto* notes = dynamic_cast<KIVDlgEditor*>(editor->GetValueWidget(2));
  ASSERT_TRUE(name && visible && notes);
  EXPECT_EQ(name->GetText().GetUtf8(), "part");  // a one-line editor shows the first line
  EXPECT_EQ(visible->GetLine(visible->GetSelect()).GetUtf8(), "Yes");
  EXPECT_EQ(notes->GetText().GetUtf8(), "a\nb");

  editor->UserApply();  // nothing modified: nothing sent
  EXPECT_EQ(father.Count("NavActionOnEditorNotification"), 0);
  name->UserSetText("renamed");
  visible->UserSelect(0);
  editor->UserApply();
  EXPECT_EQ(father.Count("NavActionOnEditorNotification"), 1);
  KIVUnicodeString* current = nullptr;
  ASSERT_EQ(editor->GetCurrentValue(&current), 3);
  EXPECT_EQ(current[0].GetUtf8(), "renamed");
  EXPECT_EQ(current[1].GetUtf8(), "0");
  name->UserSetText("again");
  editor->UserApply();
  // Cancel: once per applied edit, reading the initial values back.
  std::vector<std::string> seen;
  father.AddAnalyseNotificationCB(editor, editor->GetActionEditorNotification(), nullptr,
                                  [&](KIVCommand*, KIVNotification*, void*) {
                                    KIVUnicodeString* v = nullptr;
                                    editor->GetCurrentValue(&v);
                                    seen.push_back(v[0].GetUtf8());
                                  },
                                  nullptr);
  editor->UserCancel();
  EXPECT_EQ(seen, (std::vector<std::string>{"part\nsecond line", "part\nsecond line"}));
  EXPECT_EQ(name->GetText().GetUtf8(), "part");
  EXPECT_EQ(editor->GetPaletteStatusHide(), 1);

  NavEditorGeneric empty(&father, &window, nullptr, nullptr, 1);  // no type, no values
  EXPECT_EQ(empty.GetCurrentValue(nullptr), 0);
  empty.AffichePanel(1);
  empty.UserHelp();
  EXPECT_EQ(father.Count("NavAskHelpNotification"), 1);
}

struct ExportTest : ::testing::Test {
  KIVDlgDialog window{nullptr, "W"};
  KIVDlgMultiList* list = new KIVDlgMultiList(&window, "L");
  std::filesystem::path dir = std::filesystem::temp_directory_path() / ("navexport" + std::to_string(getpid()));
  void SetUp() override {
    std::filesystem::create_directories(dir);
    const KIVUnicodeString titles[3] = {"A", "B", "C"};
    list->SetColumnTitles(3, titles);
    const KIVUnicodeString l0[3] = {"x", "  long text ", " end "}, l1[3] = {"yy", "", "z"};
    list->SetLine(l0, 3);
    list->SetLine(l1, 3);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    Cycle();
  }
};

TEST_F(ExportTest, WidthsRightAlignZeroWidthsStrip) {
  NavMultiListTxt* exporter = NavMultiListTxt::CreateMultiTxt(nullptr, list, nullptr);
  ASSERT_NE(exporter, nullptr);
  EXPECT_EQ(NavMultiListTxt::GetMyAdress(), exporter);
  EXPECT_EQ(exporter->GetTitle().GetUtf8(), "Export to File");
  const auto file = dir / "zero.txt";
  ASSERT_EQ(exporter->GenerateTxt(file.string()), 0);
  EXPECT_EQ(ReadFile(file), " x long text end\n yy  z\n");

  list->SetColumnTextWidth(0, 4);
  list->SetColumnTextWidth(1, 3);
  ASSERT_EQ(exporter->GenerateTxt(file.string()), 0);
  EXPECT_EQ(ReadFile(file), "    x   long text  end\n   yy     z\n");

  int columns[2] = {2, 0}, widths[2] = {6, 0};
  exporter->SetFormat(2, columns, widths);
  ASSERT_EQ(exporter->GenerateTxt(file.string()), 0);
  EXPECT_EQ(ReadFile(file), "   end  x\n      z yy\n");

  // A second instance replaces the first.
  NavMultiListTxt* again = NavMultiListTxt::CreateMultiTxt(nullptr, list, &window);
  EXPECT_EQ(NavMultiListTxt::GetMyAdress(), again);
  EXPECT_EQ(NavMultiListTxt::CreateMultiTxt(nullptr, nullptr, nullptr), nullptr);
}

TEST_F(ExportTest, UnwritablePathKeepsTheOldFileAndShowsTheNotice) {
  const auto file = dir / "kept.txt";
  std::ofstream(file) << "old contents\n";
  NavMultiListTxt* exporter = NavMultiListTxt::CreateMultiTxt(nullptr, list, &window);
  exporter->ShowFileDlg();
  EXPECT_EQ(exporter->GenerateTxt((dir / "missing" / "x.txt").string()), -1);
  EXPECT_EQ(exporter->GenerateTxt(KIVUnicodeString()), -1);
  std::filesystem::permissions(dir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (geteuid() != 0) {  // root writes anywhere
    exporter->UserSelectFile(file.string());
    ASSERT_NE(exporter->GetErrorNotice(), nullptr);
    EXPECT_NE(exporter->GetErrorNotice()->GetText().GetUtf8().find("kept.txt"), std::string::npos);
    EXPECT_EQ(exporter->GetErrorNotice()->GetVisibility(), KIVDialog::VisibilityShown);
    EXPECT_EQ(ReadFile(file), "old contents\n");
  }
  std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
  // OK writes the file through the dialog and the dialog goes.
  NavMultiListTxt* ok = NavMultiListTxt::CreateMultiTxt(nullptr, list, &window);
  ok->ShowFileDlg();
  ok->UserSelectFile(file.string());
  EXPECT_EQ(ReadFile(file), " x long text end\n yy  z\n");
  EXPECT_EQ(NavMultiListTxt::GetMyAdress(), nullptr);
}

TEST(ListToList, MovesSelectedObjectsAndGreysTheButtons) {
  Father father;
  KIVDlgDialog window(nullptr, "W");
  window.SetVisibility(KIVDialog::VisibilityShown);
  NavListType type;
  type.id = 4;
  type.titles = {"Name"};
  auto* frame = new NavListToListFrame(&father, &window, &type, nullptr, 1);
  KIVUnicodeString a[1] = {"a"}, b[1] = {"b"}, c[1] = {"c"};
  KIVUnicodeString* texts[3] = {a, b, c};
  int left[3] = {1, 1, 0}, right[3] = {0, 0, 1};
  frame->InitialiseValue(texts, left, right, 3);
  Cycle();
  EXPECT_EQ(frame->GetButton(0)->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(frame->GetButton(0)->GetTitle().GetUtf8(), "      Add    >>");
  frame->GetList(0)->GetMultiList()->UserSelect(1, 0);
  EXPECT_EQ(frame->GetButton(0)->GetSensitivity(), KIVDialog::SensitivityOn);
  frame->GetButton(0)->UserActivate();
  Cycle();
  int out[3], n = 3;
  frame->GetIndiceObject(out, n, 1, 0);
  EXPECT_EQ(n, 2);
  n = 3;
  frame->GetIndiceObject(out, n, 0, 0);
  ASSERT_EQ(n, 1);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(father.Count("NavSelectOkNotification"), 1);
  // A double click moves back; selecting on one side clears the other.
  frame->GetList(1)->GetMultiList()->UserSelect(0, 0);
  frame->GetList(0)->GetMultiList()->UserSelect(0, 0);
  EXPECT_EQ(frame->GetList(1)->GetSelectCount(0), 0);
  frame->GetList(1)->GetMultiList()->UserActivate(1, 0);
  Cycle();
  n = 3;
  frame->GetIndiceObject(out, n, 0, 0);
  EXPECT_EQ(n, 2);
}

TEST(SimpleListChooser, SortsFiltersAndForwards) {
  Father father;
  KIVDlgDialog window(nullptr, "W");
  window.SetVisibility(KIVDialog::VisibilityShown);
  auto* chooser = new NavSimpleListChooser(&window, "Chooser", 0, 1);
  chooser->SetFather(&father);
  int objects[4];
  chooser->AddElement("delta", &objects[0]);
  chooser->AddElement("alpha", &objects[1]);
  chooser->SetSortAttibute(1);
  chooser->AddElement("charlie", &objects[2]);
  chooser->AddElement(nullptr, &objects[3]);
  ASSERT_EQ(chooser->GetElementsCount(), 4);
  EXPECT_STREQ(chooser->GetElementText(0), "");
  EXPECT_STREQ(chooser->GetElementText(2), "charlie");
  chooser->GetFilterEdit()->UserSetText("[a-c]*");
  EXPECT_EQ(chooser->GetSelectorList()->GetLineCount(), 2);
  EXPECT_EQ(father.Count("KIVDlgEditModifyNotification"), 1);
  chooser->GetSelectorList()->UserSelect(1, 0);
  void* selected = nullptr;
  EXPECT_EQ(chooser->GetSelect(&selected, 1), 1);
  EXPECT_EQ(selected, &objects[2]);
  EXPECT_EQ(father.Count("KIVDlgListSelectNotification"), 1);
  EXPECT_EQ(chooser->RemoveElement(&objects[2]), 1);
  EXPECT_EQ(chooser->GetSelectorList()->GetLineCount(), 1);
  chooser->InitTableauFiltre(0, 0);
  EXPECT_EQ(chooser->GetSelectorList()->GetLineCount(), 0);
}

TEST(HelpCommand, LooksUnderHomeThenKivframe) {
  const auto base = std::filesystem::temp_directory_path() / ("navhelp" + std::to_string(getpid()));
  std::filesystem::create_directories(base / "frame" / "guide");
  std::ofstream(base / "frame" / "guide" / "guidetoc.doc") << "toc";
  const char* home = std::getenv("HOME");
  const std::string savedHome = home ? home : "";
  setenv("HOME", (base / "home").c_str(), 1);
  setenv("KIVFRAME", (base / "frame").c_str(), 1);
  NavHelpCommand help("guide");
  EXPECT_EQ(std::string(help.GetPath()), (base / "frame" / "guide" / "guidetoc.doc").string());
  EXPECT_EQ(help.SetManual(nullptr), 0);
  EXPECT_EQ(help.SetManual("other"), 0);
  EXPECT_NE(help.GetPath(), nullptr);  // built even when absent
  unsetenv("KIVFRAME");
  unsetenv("HOME");
  NavHelpCommand none("guide");
  EXPECT_EQ(none.GetPath(), nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(none.DisplayDocumentation(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "User Guide is not avialable\n");
  EXPECT_EQ(NavHelpCommand::IsManualExist("m", nullptr, nullptr, "x"), 0);
  if (home) setenv("HOME", savedHome.c_str(), 1);
  std::filesystem::remove_all(base);
}

// ---------------------------------------------------------------------------------------

TEST(ColorConversions, KnownValuesClampingAndRoundTrip) {
  float h, l, s, r, g, b;
  NavSimpleColorChooser::RGB_to_HLS(1, 0, 0, &h, &l, &s);
  EXPECT_FLOAT_EQ(h, 0);
  EXPECT_FLOAT_EQ(l, 0.5f);
  EXPECT_FLOAT_EQ(s, 1);
  NavSimpleColorChooser::RGB_to_HLS(0, 0, 1, &h, &l, &s);
  EXPECT_FLOAT_EQ(h, 4.0f / 6.0f);
  NavSimpleColorChooser::RGB_to_HLS(0.5f, 0.5f, 0.5f, &h, &l, &s);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(s, 0);
  NavSimpleColorChooser::RGB_to_HLS(2, -1, 0, &h, &l, &s);  // clamped to (1, 0, 0)
  EXPECT_FLOAT_EQ(l, 0.5f);
  NavSimpleColorChooser::HLS_to_RGB(0, 0.5f, 1, &r, &g, &b);
  EXPECT_FLOAT_EQ(r, 1);
  EXPECT_FLOAT_EQ(g, 0);
  EXPECT_FLOAT_EQ(b, 0);
  NavSimpleColorChooser::HLS_to_RGB(0.3f, 0.7f, 0, &r, &g, &b);
  EXPECT_FLOAT_EQ(r, 0.7f);
  EXPECT_FLOAT_EQ(g, 0.7f);
  EXPECT_FLOAT_EQ(b, 0.7f);
  NavSimpleColorChooser::HLS_to_RGB(0.3f, 0.7f, 0, nullptr, nullptr, nullptr);  // null outputs skipped
  for (int i = 0; i <= 10; ++i)
    for (int j = 0; j <= 10; ++j)
      for (int k = 0; k <= 10; ++k) {
        const float r0 = i / 10.0f, g0 = j / 10.0f, b0 = k / 10.0f;
        NavSimpleColorChooser::RGB_to_HLS(r0, g0, b0, &h, &l, &s);
        ASSERT_TRUE(h >= 0 && h <= 1 && l >= 0 && l <= 1 && s >= 0 && s <= 1);
        NavSimpleColorChooser::HLS_to_RGB(h, l, s, &r, &g, &b);
        ASSERT_NEAR(r, r0, 1e-5f);
        ASSERT_NEAR(g, g0, 1e-5f);
        ASSERT_NEAR(b, b0, 1e-5f);
      }
  EXPECT_EQ(NavSimpleColorChooser::ColMax(1, 3, 2), 3);
  EXPECT_EQ(NavSimpleColorChooser::ColMin(1, 3, 2), 1);
}

struct ChooserTest : ::testing::Test {
  Father father;
  KIVDlgDialog window{nullptr, "W"};
  void SetUp() override { window.SetVisibility(KIVDialog::VisibilityShown); }
  void TearDown() override { Cycle(); }
  NavSimpleColorChooser* Make(int options) {
    auto* c = new NavSimpleColorChooser(&window, options);
    c->SetFatherCommand(&father);
    return c;
  }
  template <class T>
  static T* Find(KIVDialog* d, const char* tag) {
    return dynamic_cast<T*>(d->LookupChild(tag));
  }
};

TEST_F(ChooserTest, BasicColoursNoneIndexAndThickness) {
  NavSimpleColorChooser* c = Make(2 | 4 | 8 | 16 | 32 | 128);
  EXPECT_EQ(c->GetTitle().GetUtf8(), "Color Chooser");
  c->SetVisibility(2ul);
  Find<KIVDlgRadioButton>(c, "ColorRedButton")->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(c->GetColorIndex(1), 248);
  EXPECT_EQ(father.Count("NavColorModifyNotification"), 1);
  float rgb[3];
  c->GetViewer(1)->GetBackgroundColor(rgb);
  KIVColorMap map;
  float red[3];
  map.GetColor(248, red);
  EXPECT_FLOAT_EQ(rgb[0], red[0]);
  Find<KIVDlgRadioButton>(c, "NoColorButton")->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(c->GetColorIndex(1), -2);

  Find<KIVDlgSpinner>(c, "ColorIndexEditor")->UserSetValue(17);
  EXPECT_EQ(c->GetColorIndex(0), 17);
  EXPECT_EQ(c->GetBasicIndex(), -1);

  Find<KIVDlgRadioButton>(c, "ThickLargeButton")->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(c->GetThickCurrent(), 4);
  int values[4] = {-1, -1, 9, -1};
  c->SetThickValue(values);
  EXPECT_EQ(c->GetThickCurrent(), 9);
  testing::internal::CaptureStdout();
  c->SetThickMode(4, 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ATTENTION ERREUR: ColorChooser - SetThickMode n'accepte que 0 1 2 ou 3 (Choix des boutons)\n");
  EXPECT_EQ(c->GetThickMode(), 2);

  // A slider clears the basic colour and the index, and shows the nearest index.
  Find<KIVDlgRadioButton>(c, "ColorBlueButton")->UserSetState(KIVDialog::StateSet);
  Find<KIVDlgSlider>(c, "XColorSlider")->UserSetValue(0.5f);
  EXPECT_EQ(c->GetBasicIndex(), -1);
  float r, g, b, a;
  c->GetColor(r, g, b, a, 1);
  EXPECT_FLOAT_EQ(r, 0.5f);
  // The HLS system relabels and shows the other components.
  Find<KIVDlgRadioButton>(c, "HLSButton")->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(Find<KIVDlgLabel>(c, "XColorLab")->GetTitle().GetUtf8(), "H");
  float h, l, s;
  c->GetColor(h, l, s, a, 0);
  EXPECT_FLOAT_EQ(Find<KIVDlgSlider>(c, "YColorSlider")->GetCurrentValue(), l);
}

TEST_F(ChooserTest, OkCancelRestoresAndApplyReportsOnce) {
  NavSimpleColorChooser* c = Make(1 | 8 | 16);
  c->SetColor(0.2f, 0.4f, 0.6f, 0.5f, 1, 1);
  c->SetVisibility(2ul);
  Find<KIVDlgSlider>(c, "XColorSlider")->UserSetValue(0.9f);
  c->UserCancel();
  float r, g, b, a;
  c->GetColor(r, g, b, a, 1);
  EXPECT_FLOAT_EQ(r, 0.2f);
  EXPECT_FLOAT_EQ(a, 0.5f);
  EXPECT_EQ(c->GetVisibility(), KIVDialog::VisibilityHidden);
  EXPECT_EQ(father.Count("KIVDlgWindCloseNotification"), 1);
  c->SetVisibility(2ul);
  Find<KIVDlgSlider>(c, "XColorSlider")->UserSetValue(0.9f);
  c->UserOK();
  c->GetColor(r, g, b, a, 1);
  EXPECT_FLOAT_EQ(r, 0.9f);

  father.received.clear();
  NavSimpleColorChooser* apply = Make(256 | 8 | 16);
  EXPECT_EQ(apply->GetOKTitle().GetUtf8(), "Apply");
  EXPECT_EQ(apply->GetCancelTitle().GetUtf8(), "Close");
  apply->SetVisibility(2ul);
  Find<KIVDlgSlider>(apply, "ZColorSlider")->UserSetValue(0.3f);
  Find<KIVDlgRadioButton>(apply, "ColorGreenButton")->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(father.Count("NavColorModifyNotification"), 0);
  apply->UserOK();
  EXPECT_EQ(father.Count("NavColorModifyNotification"), 1);
  EXPECT_EQ(apply->GetVisibility(), KIVDialog::VisibilityHidden);
  EXPECT_EQ(apply->GetColorIndex(1), 247);

  // Clamped values, and the dump.
  NavSimpleColorChooser* plain = Make(0);
  EXPECT_EQ(plain->GetStyle() & KIVDlgWindow::StyleNoButtons, KIVDlgWindow::StyleNoButtons);
  plain->SetColor(2, -1, 0.5f, 7, 1, 1);
  testing::internal::CaptureStdout();
  plain->DumpColor();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "----- DumpColor -----\n Color System : RGB\n R = 1 G = 0 B = 0.5\n H = 0.916667 L = 0.5 S = 1\n"
            "----- DumpColor: Fin -----\n");
}

}  // namespace
