#pragma once
// An indicator that navigates: while it is a viewer's foreground indicator, it hands the
// mouse and keys it receives to a viewpoint editor (a special navigation, used once or
// kept), and tells its father of each begin, drag and end with the manipulator
// notifications (KIVManipulator::GetKIVBeginManipulate …), after the editor has acted.
// The editor and the viewpoint are not owned; either may be deleted first.
#include <memory>
#include "host/visu/interact/KIVBeginManipulateNotification.h"
#include "host/visu/interact/KIVEndManipulateNotification.h"
#include "host/visu/interact/KIVIndicator.h"
#include "host/visu/interact/KIVManipulateNotification.h"
class KIVViewpoint;
class KIVViewpointEditor;
class KIVViewpointIndicator : public KIVIndicator {
  KIV_DECLARE_METAOBJECT(KIVViewpointIndicator)
 public:
  KIVViewpointIndicator(KIVCommand* father, const char* name, KIVViewpoint* viewpoint, KIVViewpointEditor* editor);
  ~KIVViewpointIndicator() override;
  /// Null once it has been deleted.
  KIVViewpoint* GetViewpoint() const;
  KIVViewpointEditor* GetViewpointEditor() const;
  void SetViewpointEditor(KIVViewpointEditor* editor);
  void BeginManipulate(KIVNotification* event) override;
  void Manipulate(KIVNotification* event) override;
  void EndManipulate(KIVNotification* event) override;
  /// The editor's answer.
  int Key(KIVNotification* event) override;
 private:
  KIVViewpoint* mViewpoint;
  std::weak_ptr<int> mViewpointLife;
  KIVViewpointEditor* mEditor = nullptr;
  std::weak_ptr<int> mEditorLife;
  KIVBeginManipulateNotification mBegin;
  KIVManipulateNotification mManipulate;
  KIVEndManipulateNotification mEnd;
};
