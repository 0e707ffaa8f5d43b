#include "host/visu/interact/KIVViewpointEditor.h"

#include "host/visu/view/KIVViewer.h"

KIV_IMPLEMENT_METAOBJECT(KIVViewpointEditor, KIVCommand)

unsigned long KIVViewpointEditor::GetInputTime(const KIVViewer* viewer) { return viewer ? viewer->InputTime() : 0; }
