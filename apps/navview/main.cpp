// navview: the navtools viewer. In a window when a display exists (or with --windowed);
// headless otherwise (or with --headless, --script, --capture): it loads the files given,
// or the built-in plant, reframes, and runs a script or writes one capture.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "apps/navview/NavviewOptions.h"
#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewSession.h"
#include "viewer/NavViewerExtand.h"

#ifdef NAVVIEW_WINDOWED
#include <QApplication>

#include "apps/navview/NavviewDisplay.h"
#include "apps/navview/NavviewMainWindow.h"
#include "host/qt/KIVQtPresenter.h"

namespace {
int RunWindowed(int argc, char** argv, const NavviewOptions& options) {
  NavviewMainWindow::SetSurfaceFormat();
  QApplication app(argc, argv);
  QApplication::setApplicationName("navview");
  KIVQtPresenter presenter;
  int status = 0;
  {
    NavviewMainWindow window(presenter, options);
    window.show();
    status = QApplication::exec();
  }
  return status;
}
}  // namespace
#endif

#ifdef NAVVIEW_WINDOWED
namespace {
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* value = std::getenv(name); value && *value) return true;
  return false;
}
}  // namespace
#endif

int main(int argc, char** argv) {
  NavviewOptions options;
  std::string error;
  if (!options.Parse(argc, argv, &error)) {
    std::cerr << "navview: " << error << "\n" << NavviewOptions::Usage();
    return 2;
  }
  if (options.help) {
    std::cout << NavviewOptions::Usage();
#ifdef NAVVIEW_WINDOWED
    std::cout << "  --windowed opens the window even without DISPLAY (a Qt platform must be given);\n"
                 "  with a display it is the default unless --headless, --script or --capture is given.\n";
#endif
    return 0;
  }
#ifdef NAVVIEW_WINDOWED
  if (options.windowed || (!options.headless && HasDisplay())) {
    std::string why;
    // A window system that cannot be reached would abort the process inside Qt.
    if (options.windowed || std::getenv("QT_QPA_PLATFORM") || NavviewDisplay::FromEnvironment(&why))
      return RunWindowed(argc, argv, options);
    std::cerr << "navview: " << why << "; running headless\n";
  }
#else
  if (options.windowed) {
    std::cerr << "navview: this build has no window (Qt 6 was not found); running headless\n";
  }
#endif

  NavviewSession session(options.width, options.height);
  if (!session.StartGraphics(&error))
    std::cerr << "navview: no OpenGL (" << error << "); drawing only counts, captures are refused\n";
  int loaded = 0;
  for (const std::string& file : options.files) {
    if (session.LoadFile(file, &error))
      ++loaded;
    else
      std::cerr << "navview: " << error << "\n";
  }
  if (options.files.empty()) session.LoadBuiltin(options.units);
  if (!options.files.empty() && loaded == 0) {
    std::cerr << "navview: no file could be loaded\n";
    return 1;
  }
  session.Show();
  session.GetViewer().Reframe(NavViewerExtand::kOfficialRoot);

  NavviewScript script(session);
  int failures = 0;
  if (!options.capture.empty()) {
    bool quit = false, failed = false;
    const std::string result = script.Execute("capture " + options.capture, quit, failed);
    std::cout << (failed ? "error: " : "") << result << "\n";
    if (failed) ++failures;
  }
  if (!options.script.empty()) {
    std::ifstream in(options.script);
    if (!in) {
      std::cerr << "navview: cannot read script '" << options.script << "'\n";
      return 1;
    }
    failures += script.Run(in, std::cout);
  }
  if (options.capture.empty() && options.script.empty()) std::cout << script.Stats() << "\n";
  return failures ? 1 : 0;
}
