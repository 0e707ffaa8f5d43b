// navview: the navtools viewer. In a window when a display exists (or with --windowed);
// headless otherwise (or with --headless, --script, --capture): it loads the files given,
// or the built-in plant, reframes, and runs a script or writes one capture.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "apps/navview/NavviewOptions.h"
#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewSession.h"
#include "host/visu/interact/KIVKeyEvent.h"
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

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* value = std::getenv(name); value && *value) return true;
  return false;
}

// Whether the window system Qt will pick can be reached: Qt aborts the process when it
// cannot connect. QT_QPA_PLATFORM may name several, tried in turn ("wayland;xcb").
bool CanOpenWindow(std::string* why) {
  const char* platforms = std::getenv("QT_QPA_PLATFORM");
  if (!platforms || !*platforms) return NavviewDisplay::FromEnvironment(why);
  std::string list = platforms;
  for (size_t start = 0; start <= list.size();) {
    const size_t end = std::min(list.find(';', start), list.size());
    const std::string entry = list.substr(start, end - start);
    const std::string name = entry.substr(0, entry.find(':'));
    if (name == "xcb" || name.rfind("wayland", 0) == 0) {
      if (NavviewDisplay::FromEnvironment(why)) return true;
    } else if (!name.empty()) {
      return true;  // offscreen, minimal, vnc, eglfs…: no display server to reach
    }
    start = end + 1;
  }
  if (why && why->empty()) *why = "QT_QPA_PLATFORM names no window system";
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
    std::cout << "  --windowed opens the window, or says why it cannot (QT_QPA_PLATFORM=offscreen needs no\n"
                 "  display); with a display it is the default unless --headless, --script or --capture is given.\n";
#endif
    return 0;
  }
#ifdef NAVVIEW_WINDOWED
  if (options.windowed || (!options.headless && HasDisplay())) {
    std::string why;
    if (CanOpenWindow(&why)) return RunWindowed(argc, argv, options);
    if (options.windowed) {
      std::cerr << "navview: cannot open a window: " << why
                << " (give a reachable DISPLAY, or QT_QPA_PLATFORM=offscreen)\n";
      return 2;
    }
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
  session.GetScene().SetUpAxis(options.up);
  int loaded = 0;
  for (const std::string& file : options.files) {
    std::string warning;
    if (session.LoadFile(file, &error, &warning))
      ++loaded;
    else
      std::cerr << "navview: " << error << "\n";
    if (!warning.empty()) std::cerr << "navview: " << warning << "\n";
  }
  if (options.files.empty()) session.LoadBuiltin(options.units);
  if (!options.files.empty() && loaded == 0) {
    std::cerr << "navview: no file could be loaded\n";
    return 1;
  }
  session.Show();
  session.GetViewer().Reframe(NavViewerExtand::kOfficialRoot);
  // The oblique view of the whole scene, as the window opens on.
  session.GetViewer().UserKey(KIVKeyEvent::KeyHome, 0);

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
