#pragma once
// Static viewpoint and bounding-sphere utilities; never instantiated for state: reframing
// (placing a viewpoint so that objects fill the view), bounding spheres of trees, paths
// and vertex arrays, the matrices that carry a rep's sphere to the world, the standard
// views, and copying and comparing viewpoints. Nothing here redraws except
// SetViewerViewpoint.
// It also searches the rep trees (by class, colour, size or region, identifier, exclusion),
// copies picked objects into a bag for isolated display, walks from a rep up to every
// root, picks through a viewer and shortens texts.

#include "host/visu/scene/KIV3DBoundingSphere.h"
#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathDirectionf.h"
#include "host/core/KIVUnicodeString.h"

class KIV3DViewer;
class KIV3DViewpoint;
class KIV3DRep;
class KIVRep;
class KIVRepPath;
class KIVRepPathList;
class KIVPickPath;
class KIVViewpoint;
class KIV3DBagRep;
class KIVManipulator;
class KIVNotification;
class NavInterfaceInfoRep;
class Nav3DViewpointLight;

class NavToolsVisu {
 public:
  NavToolsVisu() = default;
  ~NavToolsVisu() = default;

  /// An approximate minimal sphere of x, y, z triples (`length` counts floats): the
  /// widest pair among the six axis extremes, then a growing pass. A zero length (or a
  /// null array) gives the origin, radius 0 and a message on the standard error stream.
  static void CreateBoundingSphere(float* centre, float& radius, const float* vertices, int length);
  /// Grows the sphere until it holds every vertex, visiting them from the last one.
  static void UpdateBoundingSphere(float* centre, float& radius, const float* vertices, int length);
  /// The sphere of CreateBoundingSphere, with a millimetre radius of 0.
  static KIV3DBoundingSphere GetBoundingSphere(const float* vertices, int length);

  /// Moves the eye back along the sight until the sphere fills the view; sight, up and
  /// angle stay, the target becomes the centre. A zero radius falls back to the
  /// millimetre radius, then to 10.
  static void ViewpointReframeWithBounding(KIV3DViewer* viewer, KIV3DViewpoint* vp, const KIV3DBoundingSphere& sphere);
  static void ViewpointReframeGlobal(KIV3DViewer* viewer, KIV3DViewpoint* vp);
  /// On the shown, selected descendants of root (when there are any).
  static void ViewpointReframeOnSelect(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIV3DRep* root, int recurse);
  static void ViewpointReframeOnGroup(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIV3DRep* root, int recurse,
                                      int selection, int hidden, int colour);
  /// On the shown leaves under root (when there are any).
  static void ViewpointReframeOnShow(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIV3DRep* root);
  /// On the given reps; 1 if count >= 1.
  static int ViewpointReframeOnDefineObjet(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIV3DRep** reps, int count);
  /// On the object rep of a path (its top-most non-bag rep with topMode 1, else the leaf).
  static int ViewpointReframeOnDefineObjet(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIVRepPath* path, int topMode);
  /// On the object reps of several paths; reframes even when none yields one.
  static int ViewpointReframeOnDefineObjet(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIVRepPath** paths, int count,
                                           int topMode);
  /// Switches the high-light of the paths' object reps; 1 if any was set.
  static int ViewpointHighlightOnDefineObjet(KIVRepPath** paths, int count, int topMode, int highlight);
  /// The union of the spheres of the descendants that pass the filters (-1: any; the
  /// hidden filter takes reps whose hidden bit differs from it). A matching child is
  /// not descended into; found is only ever set to 1.
  static KIV3DBoundingSphere GetBoundingSphere(KIV3DRep* root, int& found, int recurse, int selection, int hidden,
                                               int colour);
  /// The union of the spheres of the shown leaves under rep, in the frame of the path's
  /// top (the path is extended while walking and restored).
  static KIV3DBoundingSphere GetBoundingSphereShow(KIV3DRep* rep, KIVRepPath& path, int& found);
  /// The matrices of a rep's first-parent chain (mode 1: from the rep's frame; otherwise
  /// undoing the rep's own matrix first).
  static KIV4x4Matrix GetTransfoMatrice(KIV3DRep* rep, int mode);
  /// The bag matrices along a path, leaf first (mode 1: only those above stop).
  static KIV4x4Matrix GetTransfoMatrice(KIVRepPath* path, int mode, KIVRep* stop);
  /// Turns the viewpoint to one of the standard views (0 iso, 1 front, 2 back, 3 right,
  /// 4 left, 5 top, 6 bottom, 7 levelled) of the reference sight and up.
  static void ViewpointGetOtherView(KIV3DViewpoint* vp, const KIVMathDirectionf& sight, const KIVMathDirectionf& up,
                                    int view, int keepTarget, int notify);
  /// Copies into the viewer's main viewpoint and draws; with a non-zero mode only when it
  /// differs, never re-entered from the notification. 1 if applied.
  static int SetViewerViewpoint(KIV3DViewer* viewer, KIV3DViewpoint* source, int mode);
  static int SetViewerViewpoint(KIV3DViewer* viewer, Nav3DViewpointLight* source, int mode);
  static void CopyVPLightToViewpoint3D(Nav3DViewpointLight& record, KIV3DViewpoint& vp);
  /// 1 when eye, target or up point moved by more than 1 on an axis, or the angle changed.
  static int IsViewpointDifferent(KIV3DViewpoint* a, KIV3DViewpoint* b);
  static int IsViewpointDifferent(Nav3DViewpointLight* a, KIV3DViewpoint* b);

  /// The rep that gives the colour of the path's object: from the top, the first rep whose
  /// colour byte is not 251 and that passes its colour to its children; failing that, the
  /// leaf when its colour byte is not 251. Null for a null or empty path.
  static KIVRep* GetColorInheritance(KIVRepPath* path);
  /// Puts the viewpoint's reps in the bag; first mode 1 destroys the bag's children,
  /// mode -1 detaches them, any other mode keeps them.
  static void CloneViewpointRep(KIV3DBagRep* bag, int mode, KIVViewpoint* viewpoint);
  /// For each path, a new bag placed like the path's object (the leaf; with topMode set,
  /// the first non-bag from the leaf upwards, or the info's model rep) holding that object,
  /// coloured like the path, in `bag`. clear 1 first empties the bag (destroy 1: children
  /// released with Destroy, else deleted). Returns the object of the last path cloned.
  static KIVRep* CloneBasicRep(KIV3DBagRep* bag, int clear, int destroy, KIVRepPath** paths, int count, int topMode,
                               NavInterfaceInfoRep* info);
  /// Depth first under bag: the depth at which rep is a child (0: of bag itself), with
  /// its index in that parent's children in position; -1 and -1 when absent. Bags deeper
  /// than maxDepth are not entered (-1: no limit). Callers pass depth 0.
  static int IsRepExist(KIV3DBagRep* bag, KIVRep* rep, int& position, int maxDepth, int depth);
  /// The first rep of that class among the descendants (bags are searched); a rep without
  /// children answers for itself.
  static KIVRep* GetSpecialRep(KIV3DRep* rep, const char* className);
  /// Adds to the list one path per way up from rep to a root, rep first, root last. The
  /// path (holding rep) must be made with new: where several parents meet it is replaced
  /// by copies and deleted. The caller owns the paths of the list.
  static void GetAllBranche(KIVRep& rep, KIVRepPath& path, KIVRepPathList& list);
  /// Picks the window centre; the first path of the main viewpoint goes to out. 1 if any.
  static int DistanceToCollision(KIV3DViewer* viewer, KIVPickPath& out);
  /// Picks at the position of the notification's mouse event, as DistanceToCollision.
  static int DecodePickPath(KIVManipulator* manipulator, KIVNotification* notification, KIV3DViewer* viewer,
                            KIVPickPath& out);
  /// Leading blanks dropped, cut at the first newline and at maxLength characters; the
  /// suffix is appended whenever anything was dropped.
  static void ReduceLongText(KIVUnicodeString& text, int maxLength, KIVUnicodeString& suffix);
  /// The path down to the rep named by ids (groups of three: head, unused, child), or null.
  /// The caller owns it.
  static KIVRepPath* GetRepPathById(KIV3DBagRep* bag, int count, int* ids);
  /// What follows (suffix 1) or precedes the first separator met, scanning from the end
  /// (fromEnd 1) or the start; empty when none is met or the stop character comes first.
  static KIVUnicodeString GetSufixPrefix(const KIVUnicodeString& text, const KIVUnicodeString& separator,
                                         const KIVUnicodeString& stop, int suffix, int fromEnd);
  /// Adds to result the highest reps whose sphere, carried by m and the bags above them,
  /// lies inside the region (first form) or has a radius below size (second form).
  static void IsRepInside(KIV3DBoundingSphere& region, KIV4x4Matrix& m, KIV3DRep* rep, KIV3DBagRep* result);
  static void IsRepInside(float& size, KIV4x4Matrix& m, KIV3DRep* rep, KIV3DBagRep* result);
  /// Adds to result the highest reps of that colour: RGBA bytes (alpha -1: any) for an
  /// RGBA colour, else the index.
  static void IsRepColor(int index, int red, int green, int blue, int alpha, KIV3DRep* rep, KIV3DBagRep* result);
  /// Adds to result the leaves under rep that are not in the excluded subtree.
  static void GetRepByExclusion(KIVRep* rep, KIVRep* excluded, KIV3DBagRep* result);
  /// 1 when the bytes of pattern, from the lowest up to its first zero byte, equal those
  /// of code.
  static int IsTypeOf(int code, int pattern);

 private:
  /// One step of the growing pass: takes p in, growing the sphere if p lies outside.
  static void Grow(float* centre, float& radius, float& r2, const float* p);
};
