// The navview program itself: its bad input ends with one clear line and a status, never
// an abort. Runs the binary built beside this test.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path Navview() {
  std::error_code code;
  const fs::path self = fs::read_symlink("/proc/self/exe", code);
  return code ? fs::path() : self.parent_path().parent_path() / "apps" / "navview" / "navview";
}

struct Outcome {
  int status = -1;
  std::string output;  // stdout and stderr together
};

Outcome RunNavview(const std::string& environment, const std::string& arguments) {
  Outcome outcome;
  const std::string command = "env " + environment + " '" + Navview().string() + "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return outcome;
  std::array<char, 4096> buffer;
  for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) outcome.output.append(buffer.data(), n);
  const int status = pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return outcome;
}

class NavviewCommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(Navview())) GTEST_SKIP() << "navview is not built at " << Navview();
    dir = fs::temp_directory_path() / ("navview_cli_" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

}  // namespace

TEST_F(NavviewCommandLine, AWindowWithoutADisplayIsRefusedWithTheReason) {
  // A display number that no server listens on.
  const Outcome o = RunNavview("-u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:5931", "--windowed");
  if (o.output.find("has no window") != std::string::npos) GTEST_SKIP() << "navview built without Qt";
  EXPECT_EQ(o.status, 2) << o.output;
  EXPECT_NE(o.output.find("cannot open a window: cannot connect to display ':5931'"), std::string::npos) << o.output;
  // Without --windowed it falls back to running headless.
  const Outcome fallback = RunNavview("-u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:5931", "--units 1");
  EXPECT_EQ(fallback.status, 0) << fallback.output;
  EXPECT_NE(fallback.output.find("running headless"), std::string::npos) << fallback.output;
}

TEST_F(NavviewCommandLine, BadFilesAreNamedOnceWithWhatIsWrong) {
  const Outcome directory = RunNavview("", "--headless '" + dir.string() + "'");
  EXPECT_EQ(directory.status, 1) << directory.output;
  EXPECT_NE(directory.output.find("'" + dir.string() + "': is a directory"), std::string::npos) << directory.output;

  const fs::path jpg = dir / "out.jpg";
  const Outcome capture = RunNavview("", "--units 1 --capture '" + jpg.string() + "'");
  EXPECT_EQ(capture.status, 1) << capture.output;
  EXPECT_NE(capture.output.find("PNG only (JPEG writing is not available)"), std::string::npos) << capture.output;
  EXPECT_FALSE(fs::exists(jpg));

  const Outcome up = RunNavview("", "--up q");
  EXPECT_EQ(up.status, 2);
  EXPECT_NE(up.output.find("--up needs x, y or z"), std::string::npos) << up.output;
}
