#pragma once
// navview's command language, one command per line; every line is echoed with its result
// and a bad command says why and lets the script go on:
//   reframe | view front|back|left|right|top|bottom|iso | style examine|walk|fly
//   mouse press|move|release|double X Y BUTTONS [MODIFIERS] | wheel X Y STEPS [MODIFIERS]
//   key NAME|CHAR [MODIFIERS] | resize W H | click TAG | state NAME on|off
//   setting quality BITS | setting culling PIXELS | setting background R G B
//   draw | pump [CYCLES] | capture FILE.png [W H] | stats | camera | quit
// Blank lines and lines starting with # are skipped.
#include <iosfwd>
#include <string>
class NavviewSession;

class NavviewScript {
 public:
  explicit NavviewScript(NavviewSession& session) : mSession(session) {}
  /// Runs every line until the end or quit; returns the number of commands that failed.
  int Run(std::istream& in, std::ostream& out);
  /// Runs one line; its result text without the echo. Sets quit for "quit".
  std::string Execute(const std::string& line, bool& quit, bool& failed);
  /// The same line "stats" prints: models, triangles, last frame time.
  std::string Stats();

 private:
  std::string View(const std::string& name);
  std::string State(const std::string& name, int on, bool& failed);
  std::string Click(const std::string& tag, bool& failed);
  NavviewSession& mSession;
};
