#pragma once
// Base of every dialog object: a command whose dialog parent (the containing window or
// menu) is kept apart from its command father (where its notifications go).

#include <vector>

#include "host/core/KIVCommand.h"
#include "host/core/KIVString.h"
#include "host/core/KIVUnicodeString.h"

class KIVDialog : public KIVCommand {
  KIV_DECLARE_METAOBJECT(KIVDialog)
 public:
  /// parent may be null (a root); the command father starts as the parent.
  KIVDialog(KIVDialog* parent, const char* tag, int style = 0);
  /// Destroys the dialog children first and leaves the dialog parent.
  ~KIVDialog() override;

  KIVDialog* GetDialogParent() const { return mDialogParent; }
  const std::vector<KIVDialog*>& GetDialogChildren() const { return mDialogChildren; }
  const KIVString& GetTag() const { return mTag; }
  int GetStyle() const { return mStyle; }
  /// First child, depth first in creation order, bearing that tag; null if none.
  KIVDialog* LookupChild(const char* tag, int recursive = 1) const;

  void SetTitle(const KIVUnicodeString& title) { mTitle = title; }
  const KIVUnicodeString& GetTitle() const { return mTitle; }
  void SetIconName(const char* name) { mIconName = name; }
  const KIVString& GetIconName() const { return mIconName; }
  /// 2 shown, 4 hidden; other values are ignored.
  void SetVisibility(int visibility);
  int GetVisibility() const { return mVisibility; }
  /// 8 sensitive, 16 insensitive; other values are ignored.
  void SetSensitivity(int sensitivity);
  int GetSensitivity() const { return mSensitivity; }
  void SetMnemonic(KIVUnicodeChar mnemonic) { mMnemonic = mnemonic; }
  KIVUnicodeChar GetMnemonic() const { return mMnemonic; }
  void SetAcceleratorKey(unsigned long key) { mAccelerator = key; }
  unsigned long GetAcceleratorKey() const { return mAccelerator; }

 protected:
  /// Whether a person's input reaches this object now (sensitive and not hidden).
  bool AcceptsUserInput() const { return mSensitivity == 8 && mVisibility != 4; }

 private:
  KIVDialog* mDialogParent;
  std::vector<KIVDialog*> mDialogChildren;
  KIVString mTag;
  int mStyle;
  KIVUnicodeString mTitle;
  KIVString mIconName;
  int mVisibility = 2;
  int mSensitivity = 8;
  KIVUnicodeChar mMnemonic;
  unsigned long mAccelerator = 0;
};
