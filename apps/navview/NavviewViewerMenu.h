#pragma once
// What a right click on the empty part of the view offers: reframe, the standard views, the
// navigation styles, and the ground, axis and gauge. It is built anew each time into the
// viewer's own contextual menu (tools that are right-clicked build theirs there too), and
// each item runs the same command as navview's scripts, so the menu and a script agree.
#include <functional>
#include <string>
#include <vector>

#include "host/core/KIVEventSubscriber.h"

class NavViewerExtand;
class KIVDlgContextualMenu;
class KIVDialog;

class NavviewViewerMenu : public KIVEventSubscriber {
 public:
  using Runner = std::function<void(const std::string& command)>;
  NavviewViewerMenu(NavViewerExtand& viewer, Runner run);
  ~NavviewViewerMenu() override;
  NavviewViewerMenu(const NavviewViewerMenu&) = delete;
  NavviewViewerMenu& operator=(const NavviewViewerMenu&) = delete;
  /// Empties the viewer's menu and fills it with the view's items.
  void Build();

 private:
  void Item(KIVDlgContextualMenu* menu, KIVDialog* parent, const char* tag, const char* title, int kind, int checked,
            std::string command);
  void Forget();
  NavViewerExtand& mViewer;
  Runner mRun;
  std::vector<long> mCallbacks;  // on the menu, one per item
};
