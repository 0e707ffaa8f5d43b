#include "host/visu/interact/KIVViewpointIndicator.h"

#include "host/visu/interact/KIVViewerEvent.h"
#include "host/visu/view/KIVViewpoint.h"
#include "host/visu/interact/KIVViewpointEditor.h"

KIV_IMPLEMENT_METAOBJECT(KIVViewpointIndicator, KIVIndicator)

KIVViewpointIndicator::KIVViewpointIndicator(KIVCommand* father, const char* name, KIVViewpoint* viewpoint,
                                             KIVViewpointEditor* editor)
    : KIVIndicator(father, name),
      mViewpoint(viewpoint),
      mViewpointLife(viewpoint ? viewpoint->GetLifeToken() : std::weak_ptr<int>()) {
  SetViewpointEditor(editor);
}

KIVViewpointIndicator::~KIVViewpointIndicator() = default;

KIVViewpoint* KIVViewpointIndicator::GetViewpoint() const { return mViewpointLife.expired() ? nullptr : mViewpoint; }

KIVViewpointEditor* KIVViewpointIndicator::GetViewpointEditor() const {
  return mEditorLife.expired() ? nullptr : mEditor;
}

void KIVViewpointIndicator::SetViewpointEditor(KIVViewpointEditor* editor) {
  mEditor = editor;
  mEditorLife = editor ? editor->GetLifeToken() : std::weak_ptr<int>();
}

// The editor acts first; the notification goes last because its receiver may delete this
// indicator (a navigation used once ends with its first release).
void KIVViewpointIndicator::BeginManipulate(KIVNotification* event) {
  const std::weak_ptr<int> self = GetLifeToken();
  if (KIVViewpointEditor* editor = GetViewpointEditor()) editor->BeginManipulate(event);
  if (self.expired()) return;
  mBegin.SetViewerEvent(dynamic_cast<KIVViewerEvent*>(event));
  SendNotification(GetFather(), &mBegin);
}

void KIVViewpointIndicator::Manipulate(KIVNotification* event) {
  const std::weak_ptr<int> self = GetLifeToken();
  if (KIVViewpointEditor* editor = GetViewpointEditor()) editor->Manipulate(event);
  if (self.expired()) return;
  mManipulate.SetViewerEvent(dynamic_cast<KIVViewerEvent*>(event));
  SendNotification(GetFather(), &mManipulate);
}

void KIVViewpointIndicator::EndManipulate(KIVNotification* event) {
  const std::weak_ptr<int> self = GetLifeToken();
  if (KIVViewpointEditor* editor = GetViewpointEditor()) editor->EndManipulate(event);
  if (self.expired()) return;
  mEnd.SetViewerEvent(dynamic_cast<KIVViewerEvent*>(event));
  SendNotification(GetFather(), &mEnd);
}

int KIVViewpointIndicator::Key(KIVNotification* event) {
  KIVViewpointEditor* editor = GetViewpointEditor();
  return editor ? editor->Key(event) : 0;
}
