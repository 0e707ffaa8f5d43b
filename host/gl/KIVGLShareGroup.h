#pragma once
// What the renders of contexts that share their objects hold together: the primitives'
// buffers, the static batches merged from them and the textures, so that a scene shown
// in several windows is uploaded once, not once per window. GL shares buffers and
// textures between such contexts, never vertex arrays: each render keeps its own over
// these buffers. The group also keeps the frame clock of its renders, by which unused
// entries are swept. Every operation that touches GL needs a context of the group
// current. No OpenGL header is needed to use it.
#include <memory>

class KIVGLBatches;
class KIVGLMeshCache;
class KIVGLTextureCache;

class KIVGLShareGroup {
 public:
  KIVGLShareGroup();
  KIVGLShareGroup(const KIVGLShareGroup&) = delete;
  KIVGLShareGroup& operator=(const KIVGLShareGroup&) = delete;
  /// Frees every buffer and texture: a context of the group must be current.
  ~KIVGLShareGroup();

  KIVGLMeshCache& GetMeshCache() { return *mMeshes; }
  KIVGLTextureCache& GetTextureCache() { return *mTextures; }
  KIVGLBatches& GetBatches() { return *mBatches; }
  /// Bytes of the buffers the group holds (primitives and batches).
  long long GetBufferBytes() const;
  /// A frame of one of the renders begins: the clock's new value.
  long long NextFrame() { return ++mFrame; }
  long long GetFrame() const { return mFrame; }
  /// Renders using the group (the sweeps wait for every one of them to have drawn).
  void Join() { ++mRenders; }
  void Leave() {
    if (mRenders > 0) --mRenders;
  }
  int GetRenderCount() const { return mRenders; }
  /// Frees what was not used in the last idleFrames frames of each render, at most once
  /// every idleFrames / 2 of them.
  void Sweep(int idleFrames);
  /// The contexts are gone with their objects: drop every entry without a GL call.
  void Forget();

 private:
  std::unique_ptr<KIVGLMeshCache> mMeshes;
  std::unique_ptr<KIVGLBatches> mBatches;
  std::unique_ptr<KIVGLTextureCache> mTextures;
  long long mFrame = 0;
  long long mLastSweep = 0;
  int mRenders = 0;
};
