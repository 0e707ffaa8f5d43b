// navview: the navtools viewer. Headless here (no display, or --headless): it loads the
// files given, or the built-in plant, reframes, and runs a script or writes one capture.
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

int main(int argc, char** argv) {
  NavviewOptions options;
  std::string error;
  if (!options.Parse(argc, argv, &error)) {
    std::cerr << "navview: " << error << "\n" << NavviewOptions::Usage();
    return 2;
  }
  if (options.help) {
    std::cout << NavviewOptions::Usage();
    return 0;
  }
  if (!options.headless && std::getenv("DISPLAY") && *std::getenv("DISPLAY"))
    std::cerr << "navview: this build has no window yet; running headless\n";

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
