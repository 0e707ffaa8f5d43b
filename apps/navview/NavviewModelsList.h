#pragma once
// The "Models" window: a generic list with one line per model of the scene (name, type,
// triangles), with find, sort, wildcard filter, tags and text export. Selecting lines
// highlights the models in the viewer, and the viewer's highlights select the lines. The
// script drives it through `list` and its sub-commands.
#include <string>
#include <vector>

#include "host/core/KIVCommand.h"

class KIVDlgDialog;
class KIVRep;
class NavListGeneric;
class NavviewSession;

class NavviewModelsList : public KIVCommand {
 public:
  static constexpr int kListStyle = 0x7FB;  // every part of the generic list
  explicit NavviewModelsList(NavviewSession& session);
  ~NavviewModelsList() override;

  /// Shows the window (made on first use) with the scene's models, refreshed now.
  void Show();
  /// Rebuilds the lines from the scene; the selection follows the viewer's highlights.
  void Refill();
  /// `list` and its sub-commands: filter PATTERN, sort KEYS, find TEXT, export FILE. The
  /// words after `list`; failed with the reason, or with an empty text for bad words.
  std::string Command(const std::vector<std::string>& words, bool& failed);
  static const char* Usage() { return "[filter PATTERN|sort alpha,selected,tagged,type|none|find TEXT|export FILE]"; }

  KIVDlgDialog* GetWindow() const { return mWindow; }
  NavListGeneric* GetList() const { return mList; }
  /// The model's type as the list shows it: the first word of its name without a digit.
  static std::string TypeOf(const std::string& name);

 private:
  void Build();
  std::vector<KIVRep*> Models() const;
  void SelectionCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void ViewerUpdateCB(const char*, void*, KIVNotification*, void*, KIVCallback);
  void SyncFromViewer();
  std::string Summary() const;

  NavviewSession& mSession;
  KIVDlgDialog* mWindow = nullptr;
  NavListGeneric* mList = nullptr;
  std::vector<std::string> mTypes;  // type names, their position is the list's type id
  int mSyncing = 0;
  int mModelCount = -1;  // as of the last fill
};
