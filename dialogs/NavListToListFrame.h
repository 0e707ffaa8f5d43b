#pragma once
// Two generic lists side by side and two buttons that move (transfer mode 1) or copy the
// selected objects of one list to the other. The objects are the callers' text arrays.

#include <vector>

#include "dialogs/NavListType.h"
#include "foundation/NavSelectOkNotification.h"
#include "host/dialog/KIVDlgFrame.h"

class KIVDlgControl;
class KIVDlgPushButton;
class NavListGeneric;

class NavListToListFrame : public KIVDlgFrame {
 public:
  static const char* LeftToRightTag;
  static const char* RightToLeftTag;
  static const char* LeftToRightTitle;
  static const char* RightToLeftTitle;

  /// names: the two lists' names (null: "LeftList", "RightList"); mode 1 moves, others copy.
  NavListToListFrame(KIVCommand* father, KIVDialog* parent, NavListType* type, char** names, int mode);
  ~NavListToListFrame() override;

  /// texts[i] (one text per column of the type; the caller keeps it) goes to the left
  /// list when left[i] is 1 and to the right list when right[i] is 1.
  void InitialiseValue(KIVUnicodeString** texts, int* left, int* right, int n);
  /// The positions (in InitialiseValue's arrays) of the objects of one side (0 left,
  /// 1 right), only the selected ones with selectedOnly = 1. `n` is the room in out on
  /// input and the number found on output.
  int GetIndiceObject(int* out, int& n, int side, int selectedOnly);
  /// Places a caller's control under the two buttons.
  void AddButton(KIVDlgControl* control);
  /// Moves the selected objects of one side (0 left to right, 1 right to left).
  void Transfer(int fromSide);
  NavSelectOkNotification* GetSelectOkNotification() { return &mSelectOk; }
  NavListGeneric* GetList(int side) const { return side == 0 ? mLeft : mRight; }
  KIVDlgPushButton* GetButton(int side) const { return side == 0 ? mToRight : mToLeft; }

  void ActionCB(KIVCommand* sender, KIVNotification* notification, void* data);

 private:
  void UpdateButtons();
  KIVCommand* mFatherCommand;
  NavListType mType;
  int mMode;
  std::vector<KIVUnicodeString*> mTexts;
  NavListGeneric* mLeft = nullptr;
  NavListGeneric* mRight = nullptr;
  KIVDlgPushButton* mToRight = nullptr;
  KIVDlgPushButton* mToLeft = nullptr;
  int mExtraButtons = 0;
  int mTransferring = 0;
  NavSelectOkNotification mSelectOk;
};
