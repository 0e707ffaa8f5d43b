#pragma once
// Static viewpoint and bounding-sphere utilities; never instantiated for state: reframing
// (placing a viewpoint so that objects fill the view), bounding spheres of trees, paths
// and vertex arrays, the matrices that carry a rep's sphere to the world, the standard
// views, and copying and comparing viewpoints. Nothing here redraws except
// SetViewerViewpoint.

#include "host/visu/KIV3DBoundingSphere.h"
#include "host/visu/KIV4x4Matrix.h"
#include "host/visu/KIVMathDirectionf.h"

class KIV3DViewer;
class KIV3DViewpoint;
class KIV3DRep;
class KIVRep;
class KIVRepPath;
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

 private:
  /// One step of the growing pass: takes p in, growing the sphere if p lies outside.
  static void Grow(float* centre, float& radius, float& r2, const float* p);
};
