#include "apps/navview/NavviewImport.h"

#include <memory>

#include "apps/navview/NavviewScene.h"
#include "host/io/KIVImportedScene.h"
#include "host/io/KIVSceneImporter.h"
#include "host/visu/scene/KIV3DCustomRep.h"

int NavviewImport::Load(NavviewScene& scene, const std::string& path, std::string* error, std::string* warning) {
  if (warning) warning->clear();
  KIVSceneImporter importer;
  importer.SetUpAxis(scene.GetUpAxis());
  auto imported = std::make_shared<KIVImportedScene>(importer.Import(path.c_str()));
  KIV3DBagRep* top = imported->GetTop();
  if (!top) {
    if (error) *error = imported->GetError();
    return 0;
  }
  for (KIVRep* rep : imported->GetReps()) {
    if (const char* name = imported->GetName(rep)) scene.SetName(rep, name);
    if (dynamic_cast<KIV3DCustomRep*>(rep))
      for (KIVRep* parent : rep->GetParents())
        if (parent != top || rep->GetParents().size() == 1) scene.MarkModel(parent);
  }
  if (warning) *warning = imported->GetWarning();
  scene.GetRoot()->AddChild(top);
  scene.SetSource(top, path);
  scene.Keep(imported);
  return 1;
}
