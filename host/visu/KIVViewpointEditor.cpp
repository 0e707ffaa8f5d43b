#include "host/visu/KIVViewpointEditor.h"

#include "host/visu/KIVViewer.h"

KIV_IMPLEMENT_METAOBJECT(KIVViewpointEditor, KIVCommand)

unsigned long KIVViewpointEditor::GetInputTime(const KIVViewer* viewer) { return viewer ? viewer->InputTime() : 0; }
