#pragma once
// A primitive whose geometry is made at draw time: a callback, given the render, draws
// what it wants through the render's Draw… operations (for things that follow the view or
// change every frame). Its bounds cannot be known from the callback, so they are set.
#include <functional>
#include <vector>
#include "host/visu/scene/KIVGraphicPrimitive.h"
class KIVViewpoint;
class KIVViewport;
class KIVDynamicGP : public KIVGraphicPrimitive {
 public:
  using Callback = std::function<void(KIVRender&)>;
  KIVDynamicGP() = default;
  explicit KIVDynamicGP(Callback callback) : mCallback(std::move(callback)) {}
  /// An empty callback draws nothing.
  void SetCallback(Callback callback);
  int HasCallback() const { return mCallback ? 1 : 0; }
  /// Runs the callback on the render; the render's DrawDynamicGP calls it when it wants
  /// the geometry. The callback may replace itself while it runs. 0 without a callback.
  int Generate(KIVRender& render) const;
  /// What the render calls at each frame with its camera and pixel rectangle: by default
  /// the callback. Primitives that make their geometry themselves override it.
  virtual void ImmediateDraw(KIVRender& render, const KIVViewpoint* viewpoint, const KIVViewport* viewport);
  /// x, y, z floats; a trailing partial point is dropped. A negative count or a null array
  /// with a positive count is refused (0).
  int SetBoundingPoints(const float* points, int pointFloats);
  void Draw(KIVRender& render) override;
  void GetBoundingPoints(std::vector<float>& points) const override;
 private:
  Callback mCallback;
  std::vector<float> mBounds;
};
