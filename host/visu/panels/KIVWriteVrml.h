#pragma once
// Writes rep trees as a VRML97 file. Each bag becomes a Transform (its matrix split into
// translation, rotation and scale; a matrix with shear or a mirror keeps only its
// translation there, its linear part being applied to the vertices below instead), each
// custom rep the Shapes of its level-0 primitives: faces (triangles, strips and fans) and
// cylinders as IndexedFaceSet with their normals, lines, polylines and edges as
// IndexedLineSet, markers as PointSet; texts are not written. The colour is the rep's
// (or that of an ancestor whose colour inheritance is on): its colour index through the
// viewer's colour map, or its RGBA bytes. Hidden reps are skipped; a sub-tree reached
// more than once is written once (DEF) and referred to after (USE).
// The file is written beside the target as "<path>.tmp" and renamed, so a failure never
// leaves a file behind.
#include <string>
class KIVRep;
class KIVViewer;
class KIVColorMap;
class KIVWriteVrml {
 public:
  /// Writes `count` root reps (null ones are skipped) to `path`. Returns 1, or 0 on
  /// failure; with notify = 1 a failure shows a notice window naming the file and the
  /// reason, in the viewer's parent dialog (the viewer itself when it has none; without a
  /// viewer the message goes to the standard error instead).
  static int Write(KIVRep** reps, int count, KIVViewer* viewer, const char* path, int notify);
  /// The same without a notice: the one-line reason of a failure in *error (may be
  /// null). A null colour map means the default colours.
  static int WriteFile(KIVRep** reps, int count, const KIVColorMap* colours, const std::string& path,
                       std::string* error);
  /// The file's text, built in memory.
  static std::string WriteText(KIVRep** reps, int count, const KIVColorMap* colours);
  /// Tag of the notice window a failure shows.
  static constexpr const char* NoticeTag = "VrmlWriteError";
};
