#include "apps/navview/NavviewGraphics.h"

#include <cctype>
#include <filesystem>
#include <map>

#include "host/gl/KIVGLCapture.h"
#include "host/gl/KIVGLContext.h"
#include "host/gl/KIVGLRender.h"
#include "host/visu/panels/KIVPrintCaptureDialog.h"
#include "viewer/NavViewerExtand.h"


struct NavviewGraphics::State {
  std::unique_ptr<KIVGLContext> context;
  std::unique_ptr<KIVGLRender> render;
  std::map<NavViewerExtand*, std::unique_ptr<KIVGLRender>> attached;  // secondary viewers
};

NavviewGraphics::NavviewGraphics() = default;
NavviewGraphics::~NavviewGraphics() = default;

int NavviewGraphics::StartHeadless(NavViewerExtand& viewer, std::string* error) {
  if (mState) return 1;
  auto state = std::make_unique<State>();
  state->context = KIVGLContext::CreateHeadless(error);
  if (!state->context) return 0;
  state->render = std::make_unique<KIVGLRender>(viewer.GetSupport(), state->context.get());
  if (!state->render->IsReady(error)) return 0;
  viewer.SetRender(state->render.get());
  mState = std::move(state);
  // The capture dialog of the tool bar writes through the same render.
  KIVGLRender* render = mState->render.get();
  KIVPrintCaptureDialog::SetCaptureHandler(
      [render](KIVViewer& target, const std::string& path, int w, int h, std::string* why) {
        if (!CheckCapturePath(path, why)) return 0;
        return KIVGLCapture::WritePng(*render, target, path.c_str(), w, h, why);
      });
  return 1;
}

bool NavviewGraphics::IsStarted() const { return mState != nullptr; }

std::string NavviewGraphics::GetRendererName() const {
  return mState ? mState->context->GetRenderer() + " | " + mState->context->GetVersion() : std::string();
}

int NavviewGraphics::CheckCapturePath(const std::string& path, std::string* error) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".png") return 1;
  if (error)
    *error = "cannot write '" + path + "': captures are PNG only" +
             (extension == ".jpg" || extension == ".jpeg" ? " (JPEG writing is not available)" : "") +
             "; name the file .png";
  return 0;
}

int NavviewGraphics::Capture(NavViewerExtand& viewer, const std::string& path, int width, int height,
                             std::string* error) {
  if (!CheckCapturePath(path, error)) return 0;
  if (!mState) {
    if (error) *error = "cannot write '" + path + "': no OpenGL device to draw with";
    return 0;
  }
  const auto other = mState->attached.find(&viewer);
  KIVGLRender& render = other != mState->attached.end() ? *other->second : *mState->render;
  return KIVGLCapture::WritePng(render, viewer, path.c_str(), width, height, error);
}

int NavviewGraphics::Attach(NavViewerExtand& viewer) {
  if (!mState) return 0;
  if (mState->attached.count(&viewer) || viewer.GetRender() == mState->render.get()) return 1;
  auto render = std::make_unique<KIVGLRender>(viewer.GetSupport(), mState->context.get(),
                                              mState->render->GetShareGroup());
  if (!render->IsReady(nullptr)) return 0;
  viewer.SetRender(render.get());
  mState->attached[&viewer] = std::move(render);
  return 1;
}

void NavviewGraphics::Detach(NavViewerExtand& viewer) {
  if (!mState) return;
  const auto it = mState->attached.find(&viewer);
  if (it == mState->attached.end()) return;
  if (viewer.GetRender() == it->second.get()) viewer.SetRender(nullptr);
  mState->attached.erase(it);
}

long long NavviewGraphics::GetLastTriangles() const {
  return mState ? mState->render->GetLastFrameStats().triangles : 0;
}

double NavviewGraphics::TimeFrame(NavViewerExtand& viewer) {
  viewer.Draw();
  if (mState) {
    return mState->render->Finish();
  }
  float d[3];
  viewer.GetLastUpdateDuration(d);
  return d[0];
}

void NavviewGraphics::Stop(NavViewerExtand& viewer) {
  if (!mState) return;
  KIVPrintCaptureDialog::SetCaptureHandler(nullptr);
  for (auto& [other, render] : mState->attached)
    if (other->GetRender() == render.get()) other->SetRender(nullptr);
  mState->attached.clear();
  if (viewer.GetRender() == mState->render.get()) viewer.SetRender(nullptr);
  mState.reset();
}
