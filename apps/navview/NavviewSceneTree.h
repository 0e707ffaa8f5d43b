#pragma once
// The "Scene Tree" window: the official root's representation tree in a NavSimpleGraph,
// with collapse and extend behind ">>>" markers, the layout settings and context menus.
// Selecting nodes highlights their representations in the viewer. The script drives it
// through `tree` and its sub-commands.
#include <string>
#include <vector>

#include "host/core/KIVCommand.h"

class KIVDlgDialog;
class KIVRep;
class NavSimpleGraph;
class NavviewSession;
struct KIVNavArbreElement;

class NavviewSceneTree : public KIVCommand {
 public:
  /// Context menus, settings button, extension, selection, forwarding of background clicks.
  static constexpr int kGraphStyle = 0x1 | 0x2 | 0x8 | 0x100 | 0x200 | 0x800;
  explicit NavviewSceneTree(NavviewSession& session);
  ~NavviewSceneTree() override;

  /// Shows the window (made on first use) with the scene's tree, rebuilt now.
  void Show();
  /// `tree` and its sub-commands (the words after `tree`): select NAME, collapse NAME,
  /// extend NAME, layout WORDS, reframe. Failed with the reason, or an empty text for bad words.
  std::string Command(const std::vector<std::string>& words, bool& failed);
  static const char* Usage() {
    return "[select NAME|collapse NAME|extend NAME|layout vertical|horizontal|indented|aligned|centered|packed|"
           "reversed|square...|reframe]";
  }

  KIVDlgDialog* GetWindow() const { return mWindow; }
  NavSimpleGraph* GetGraph() const { return mGraph; }

 private:
  void Build();
  KIVNavArbreElement* Records(KIVRep* rep, int& count) const;
  KIVNavArbreElement* Find(const std::string& name) const;
  void Reveal(KIVNavArbreElement* record);
  void GraphCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void Highlight();
  std::string Summary() const;

  NavviewSession& mSession;
  KIVDlgDialog* mWindow = nullptr;
  NavSimpleGraph* mGraph = nullptr;
  int mRecordCount = 0;
};
