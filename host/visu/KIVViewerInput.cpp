// The viewer's input routing (User… operations). Placeholder bodies until the interaction
// layer lands: the editor pointer is kept, input is dropped.
#include "host/visu/KIVViewer.h"
#include "host/visu/KIVViewpointEditor.h"

void KIVViewer::SetViewpointEditor(KIVViewpointEditor* editor) {
  mEditor = editor;
  if (editor) editor->SetViewer(this);
}
void KIVViewer::UserMousePress(int, int, int, int) {}
void KIVViewer::UserMouseMove(int, int, int, int) {}
void KIVViewer::UserMouseRelease(int, int, int, int) {}
void KIVViewer::UserMouseWheel(int, int, int, int) {}
void KIVViewer::UserMouseDoubleClick(int, int, int, int) {}
void KIVViewer::UserKey(int, int) {}
void KIVViewer::UserResize(int width, int height) { SetGraphicSize(width, height); }
