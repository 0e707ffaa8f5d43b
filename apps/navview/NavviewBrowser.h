#pragma once
// navview's representation tree browser: the viewer's rep tree tool, opened from the tool
// bar's "Tree" button, the View menu's "Scene Tree" or the script. Script: `browser open`,
// `browser select NAME...` (models by name; every node that shows them), `browser clash`
// (among the selected nodes), `browser identify NAME` (reframes the main view on it),
// `browser close`.
#include <string>
#include <vector>

class KIVRep;
class NavGraphicRepTree;
class NavviewSession;
struct KIVNavArbreElement;

class NavviewBrowser {
 public:
  explicit NavviewBrowser(NavviewSession& session) : mSession(session) {}
  NavviewBrowser(const NavviewBrowser&) = delete;
  NavviewBrowser& operator=(const NavviewBrowser&) = delete;

  /// The words after `browser`; failed with the reason, or an empty text for bad words.
  std::string Command(const std::vector<std::string>& words, bool& failed);
  static const char* Usage() { return "open|close|clash|select NAME...|identify NAME"; }
  /// The browser while the viewer's state is on, else null.
  NavGraphicRepTree* GetBrowser() const;

 private:
  std::string Open();
  std::string Select(const std::vector<std::string>& names, bool& failed);
  std::string Clash(bool& failed);
  std::string Identify(const std::vector<std::string>& name, bool& failed);
  /// The models named by the words (names may hold spaces: the longest names first).
  std::vector<KIVRep*> Models(const std::vector<std::string>& words, std::string& why) const;
  /// Opens the collapsed records above `record` so that it shows in the graph.
  void Reveal(NavGraphicRepTree* tree, KIVNavArbreElement* record) const;
  std::string NameOf(const KIVRep* rep) const;
  NavviewSession& mSession;
};
