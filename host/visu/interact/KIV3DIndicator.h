#pragma once
// An indicator bound to a 3D viewer, for a tool that takes the mouse of that viewer
// without an indicator class of its own: it tells its father of every press, drag,
// release and hover with the manipulator notifications (begin, manipulate, end, move),
// and of a right click with the context notification, which carries the viewer's
// contextual menu (shown by the viewer). The viewer is not owned.
#include <memory>
#include "host/visu/interact/KIVBeginManipulateNotification.h"
#include "host/visu/interact/KIVContextNotification.h"
#include "host/visu/interact/KIVEndManipulateNotification.h"
#include "host/visu/interact/KIVIndicator.h"
#include "host/visu/interact/KIVManipulateNotification.h"
#include "host/visu/interact/KIVMoveNotification.h"
class KIV3DViewer;
class KIV3DIndicator : public KIVIndicator {
  KIV_DECLARE_METAOBJECT(KIV3DIndicator)
 public:
  KIV3DIndicator(KIVCommand* father, const char* name, KIV3DViewer* viewer);
  ~KIV3DIndicator() override;
  /// Null once the viewer has been deleted.
  KIV3DViewer* GetViewer() const;
  void BeginManipulate(KIVNotification* event) override;
  void Manipulate(KIVNotification* event) override;
  void EndManipulate(KIVNotification* event) override;
  void Move(KIVNotification* event) override;
  int Context(KIVNotification* event, KIVDlgContextualMenu* menu) override;
 private:
  KIV3DViewer* mViewer;
  std::weak_ptr<int> mViewerLife;
  KIVBeginManipulateNotification mBegin;
  KIVManipulateNotification mManipulate;
  KIVEndManipulateNotification mEnd;
  KIVMoveNotification mMove;
  KIVContextNotification mContext;
};
