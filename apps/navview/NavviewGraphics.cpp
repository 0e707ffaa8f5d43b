#include "apps/navview/NavviewGraphics.h"

#include "viewer/NavViewerExtand.h"

struct NavviewGraphics::State {};

NavviewGraphics::NavviewGraphics() = default;
NavviewGraphics::~NavviewGraphics() = default;
int NavviewGraphics::StartHeadless(NavViewerExtand&, std::string* error) {
  if (error) *error = "not built";
  return 0;
}
bool NavviewGraphics::IsStarted() const { return false; }
std::string NavviewGraphics::GetRendererName() const { return {}; }
int NavviewGraphics::Capture(NavViewerExtand&, const std::string& path, int, int, std::string* error) {
  if (error) *error = "cannot write '" + path + "': no OpenGL";
  return 0;
}
long long NavviewGraphics::GetLastTriangles() const { return 0; }
double NavviewGraphics::TimeFrame(NavViewerExtand& viewer) {
  viewer.Draw();
  float d[3];
  viewer.GetLastUpdateDuration(d);
  return d[0];
}
void NavviewGraphics::Stop(NavViewerExtand&) {}
