#pragma once
// Moving models in navview: a mover put on one model at a time (a trihedral at the model's
// centre, as big as the model), which the model follows live while a handle is dragged,
// from the "Mover Palette", and through undo and redo. A left click on a model selects it,
// so that "Move" has something to act on. Script: `move [NAME|off|DX DY DZ|NAME DX DY DZ]`,
// `rotate [NAME] x|y|z DEGREES`, `undo`, `redo`, `palette on|off`.
#include <string>
#include <vector>

#include "host/core/KIVCommand.h"
#include "host/visu/math/KIV4x4Matrix.h"

class KIV3DBagRep;
class KIVRep;
class NavMovorObject;
class NavviewSession;

class NavviewMover : public KIVCommand {
 public:
  explicit NavviewMover(NavviewSession& session);
  ~NavviewMover() override;
  NavviewMover(const NavviewMover&) = delete;
  NavviewMover& operator=(const NavviewMover&) = delete;

  /// The words after `move`; failed with the reason, or an empty text for bad words.
  std::string Move(const std::vector<std::string>& words, bool& failed);
  /// The words after `rotate`.
  std::string Rotate(const std::vector<std::string>& words, bool& failed);
  /// `undo` (redo false) and `redo` of the mover's positions.
  std::string Undo(bool redo, bool& failed);
  /// `palette on|off`.
  std::string Palette(const std::vector<std::string>& words, bool& failed);
  static const char* MoveUsage() { return "[NAME | off | DX DY DZ | NAME DX DY DZ]"; }
  static const char* RotateUsage() { return "[NAME] x|y|z DEGREES"; }
  /// Escape removes the mover, Ctrl+Z and Ctrl+Y undo and redo; 1 when the key was taken.
  int Key(int key, int modifiers);
  /// Removes the mover; the model stays where it was moved.
  void Remove();

  NavMovorObject* GetMover() const { return mMover; }
  KIV3DBagRep* GetModel() const { return mModel; }
  /// The model under the last click in the view, null when none.
  KIVRep* GetClickedModel() const { return mClicked; }

  void MovedCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void ClickCB(KIVCommand* sender, KIVNotification* notification, void* data);

 private:
  /// Puts the mover on the model (replacing one elsewhere); failed with the reason.
  std::string Attach(KIVRep* model, bool& failed);
  KIVRep* Find(const std::string& name) const;
  /// The model under a pick path: the nearest model on the way from the leaf up.
  KIVRep* ModelOf(class KIVRepPath* path) const;
  /// The selected model: the one last clicked, else the first high-lighted model.
  KIVRep* Selected() const;
  std::string Name() const;
  void Apply();

  NavviewSession& mSession;
  NavMovorObject* mMover = nullptr;
  KIV3DBagRep* mModel = nullptr;
  KIVRep* mClicked = nullptr;
  KIV4x4Matrix mStart;        // the model's own matrix when the mover was put on it
  KIV4x4Matrix mAbove;        // its parents' placement, and the inverse
  KIV4x4Matrix mAboveInverse;
  long mCallbacks[3] = {0, 0, 0};
};
