#include <gtest/gtest.h>

#include "recorder.h"

namespace {

using Lines = std::vector<std::string>;

// Records what the model tells it; reading IsA and the tag shows the object was whole.
struct Log : KIVDlgPresenter {
  Lines events;
  void Created(KIVDialog* d) override { events.push_back(std::string("+") + d->IsA() + " " + Tag(d)); }
  void Destroyed(KIVDialog* d) override { events.push_back(std::string("-") + d->IsA() + " " + Tag(d)); }
  void PropertyChanged(KIVDialog* d, KIVDlgProperty which) override {
    events.push_back("~" + Tag(d) + " " + std::to_string(static_cast<int>(which)));
  }
  static std::string Tag(KIVDialog* d) { return d->GetTag().CastToCharPtr(); }
  Lines Take() { return std::exchange(events, {}); }
};

struct DialogPresenter : ::testing::Test {
  Log log;
  void SetUp() override { KIVDialog::SetPresenter(&log); }
  void TearDown() override {
    KIVDialog::SetPresenter(nullptr);
    KIVApplication::MainApplication()->ProcessDeferred();
  }
};

const std::string kTitle = std::to_string(static_cast<int>(KIVDlgProperty::Title));

TEST_F(DialogPresenter, AnnouncesWholeObjectsParentsFirstAndReportsChanges) {
  auto* window = new KIVDlgDialog(nullptr, "Window");
  auto* spin = new KIVDlgSpinner(window, "Spin");
  EXPECT_TRUE(log.events.empty());  // nothing while the constructors run
  spin->SetTitle("Step");
  spin->SetTitle("Step");  // unchanged: nothing
  EXPECT_EQ(log.Take(), (Lines{"+KIVDlgDialog Window", "+KIVDlgSpinner Spin", "~Spin " + kTitle}));
  new KIVDlgLabel(window, "Label");
  KIVApplication::MainApplication()->ProcessDeferred();  // the deferred cycle announces too
  EXPECT_EQ(log.Take(), (Lines{"+KIVDlgLabel Label"}));
  delete window;
  EXPECT_EQ(log.Take(), (Lines{"-KIVDlgLabel Label", "-KIVDlgSpinner Spin", "-KIVDlgDialog Window"}));
}

TEST_F(DialogPresenter, ObjectsGoneBeforeTheirAnnouncementAreNeverMentioned) {
  auto* frame = new KIVDlgFrame(nullptr, "Frame");
  delete new KIVDlgCombo(frame, "Gone");
  frame->SetSensitivity(16);
  EXPECT_EQ(log.Take(), (Lines{"+KIVDlgFrame Frame", "~Frame " + std::to_string(static_cast<int>(KIVDlgProperty::Sensitivity))}));
  KIVDialog::SetPresenter(nullptr);
  frame->SetTitle("Headless");
  delete frame;
  EXPECT_TRUE(log.events.empty());
}

TEST_F(DialogPresenter, ANewPresenterHearsOfTheObjectsAlreadyAlive) {
  KIVDialog::SetPresenter(nullptr);
  KIVDlgDialog window(nullptr, "Window");
  new KIVDlgPushButton(&window, "Push");
  Log late;
  KIVDialog::SetPresenter(&late);
  EXPECT_EQ(late.Take(), (Lines{"+KIVDlgDialog Window", "+KIVDlgPushButton Push"}));
  KIVDialog::SetPresenter(nullptr);
}

}  // namespace
