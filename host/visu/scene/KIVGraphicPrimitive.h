#pragma once
// A piece of geometry of a leaf rep, in the rep's frame. A primitive draws itself by
// calling the render operation of its kind (double dispatch, so a new render is one class),
// reports the triangles that picking tests, and counts its own geometry changes so that
// the caches built from it (bounds, pick hierarchies, GPU buffers) know when to refresh.
#include <vector>
#include "host/visu/scene/KIV3DBoundingSphere.h"
#include "host/visu/scene/KIVPictureChange.h"
class KIVRender;
class KIVGraphicPrimitive {
 public:
  KIVGraphicPrimitive() = default;
  KIVGraphicPrimitive(const KIVGraphicPrimitive&) = delete;
  KIVGraphicPrimitive& operator=(const KIVGraphicPrimitive&) = delete;
  virtual ~KIVGraphicPrimitive() = default;
  /// Frees a primitive made with new. The rep that holds it lets go of it first.
  void Destroy() { delete this; }
  /// Hands the primitive to the render's operation of its kind.
  virtual void Draw(KIVRender& render) = 0;
  /// Appends the primitive's triangles for picking: x, y, z floats and index triples into
  /// them (offset by what `vertices` held). Returns the number of triangles appended.
  virtual int GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const {
    (void)vertices;
    (void)indices;
    return 0;
  }
  /// What is picked within a tolerance on screen rather than by its area: points to pick
  /// (x, y, z appended to `points`) and segments (two such points each, appended to
  /// `segments`). Markers and lines answer; returns 1 when the primitive has any.
  virtual int GetPickThinElements(std::vector<float>& points, std::vector<float>& segments) const {
    (void)points;
    (void)segments;
    return 0;
  }
  /// The points that bound the primitive (x, y, z floats appended); used for its sphere
  /// and box.
  virtual void GetBoundingPoints(std::vector<float>& points) const = 0;
  /// The same points when the primitive holds them as one array (count points): a bound
  /// then reads them in place, without a copy. Null when it does not.
  virtual const float* GetBoundingPointsInPlace(size_t& count) const {
    count = 0;
    return nullptr;
  }
  /// Pixels are taken at 96 per inch where a screen size becomes millimetres.
  static constexpr float kMillimetresPerPixel = 25.4f / 96.0f;
  /// For what is drawn at a fixed size on screen: the radius, in millimetres, of what it
  /// draws around its bounding points. The rep's sphere takes the largest, so that a
  /// symbol or a text is never culled as too small while it would show.
  virtual float GetScreenRadiusMM() const { return 0.0f; }
  /// Number of triangles the primitive draws at full detail.
  virtual int GetTriangleCount() const { return 0; }
  /// Bumped by every change of geometry.
  unsigned long GetGeometryVersion() const { return mGeometryVersion; }
  /// What holds the primitive hears of each change of its geometry, so that its bounds,
  /// pick hierarchy and picture follow without a second call.
  class Holder {
   public:
    virtual void PrimitiveChanged(KIVGraphicPrimitive& primitive) = 0;

   protected:
    ~Holder() = default;
  };
  /// Set by the rep that takes the primitive, cleared when it lets go.
  void SetHolder(Holder* holder) { mHolder = holder; }
  Holder* GetHolder() const { return mHolder; }
  /// Unique over the process and never reused, unlike the primitive's address once it is
  /// freed: caches (GPU buffers) key on it.
  unsigned long long GetSerial() const { return mSerial; }
  /// Where the render that drew the primitive last keeps what it made for it, so that its
  /// next frame finds that without a lookup. owner names that render for good (never
  /// reused); slot means something to it alone, and it checks the entry it names. A render
  /// that finds another's note keeps its own elsewhere and may take the note over.
  struct RenderNote {
    unsigned long long owner = 0;
    unsigned int slot = 0;
  };
  RenderNote& GetRenderNote() const { return mRenderNote; }
 protected:
  void GeometryChanged() {
    ++mGeometryVersion;
    if (mHolder)
      mHolder->PrimitiveChanged(*this);
    else  // held by no rep this viewer could name: every viewer hears of it
      KIVPictureChange::Announce(nullptr, KIVPictureChange::Scene);
  }
 private:
  static unsigned long long NextSerial() {
    static unsigned long long next = 0;
    return ++next;
  }
  unsigned long mGeometryVersion = 0;
  Holder* mHolder = nullptr;
  unsigned long long mSerial = NextSerial();
  mutable RenderNote mRenderNote;
};
