#include "host/io/KIVSceneImporter.h"

#include <assimp/GltfMaterial.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/MemoryIOWrapper.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <climits>
#include <cmath>
#include <exception>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/visu/KIV3DBagRep.h"
#include "host/visu/KIV3DCustomRep.h"
#include "host/visu/KIV3DFaceGP.h"
#include "host/visu/KIV3DLineGP.h"
#include "host/visu/KIV3DMarkerGP.h"
#include "host/visu/KIV4x4Matrix.h"

namespace {

// Deeper hierarchies than any real file has would only exhaust the stack of the
// recursive walks over the tree (bounds, drawing, picking).
constexpr int kMaxDepth = 1000;

// Progress of the three stages: reading, post-processing, building the reps.
constexpr float kReadEnd = 0.6f;
constexpr float kPostEnd = 0.9f;

std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    const bool space = c == '\n' || c == '\r' || c == '\t';
    if (space && (line.empty() || line.back() == ' ')) continue;
    line += space ? ' ' : c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line.empty() ? "unknown error" : line;
}

// assimp's reason in one line, in words that fit a file the user chose: a reader that
// refuses corrupt content reports it as an unknown format, and memory reads name a
// made-up file.
std::string Reason(const char* assimpError) {
  std::string reason = OneLine(assimpError ? assimpError : "");
  if (reason.rfind("No suitable reader found", 0) == 0) return "unknown format or corrupt content";
  const std::string magic = AI_MEMORYIO_MAGIC_FILENAME;
  for (size_t at = reason.find(magic); at != std::string::npos; at = reason.find(magic, at))
    reason.replace(at, magic.size(), "memory");
  return reason;
}

// Forwards assimp's progress, scaled into the current stage, and its cancellation.
class ProgressRelay : public Assimp::ProgressHandler {
 public:
  explicit ProgressRelay(const KIVSceneImporter::ProgressCallback& callback) : mCallback(callback) {}
  void SetStage(float from, float to) { mFrom = from, mTo = to; }
  bool Update(float fraction) override {
    if (fraction >= 0.0f) Report(mFrom + (mTo - mFrom) * std::min(fraction, 1.0f));
    return !mCancelled;
  }
  /// Fractions only grow, so that a bar never steps back between stages.
  bool Report(float fraction) {
    if (mCancelled || !mCallback) return !mCancelled;
    if (fraction > mLast) {
      mLast = fraction;
      if (!mCallback(fraction)) mCancelled = true;
    }
    return !mCancelled;
  }
  bool Cancelled() const { return mCancelled; }

 private:
  const KIVSceneImporter::ProgressCallback& mCallback;
  float mFrom = 0.0f, mTo = kReadEnd, mLast = -1.0f;
  bool mCancelled = false;
};

bool IsSurface(const aiMesh* mesh) {
  return (mesh->mPrimitiveTypes & (aiPrimitiveType_TRIANGLE | aiPrimitiveType_POLYGON)) != 0;
}

// Post-processing chosen from what the file holds: normals are generated only where some
// mesh lacks them, and vertices joined only where some mesh repeats a vertex per corner
// (STL, OBJ), since joining an indexed mesh costs much and gains nothing.
unsigned int PostProcessFlags(const aiScene* scene, int normalMode, bool& flatNormalsByHand) {
  bool missingNormals = false, perCorner = false;
  for (unsigned int i = 0; i < scene->mNumMeshes; ++i) {
    const aiMesh* mesh = scene->mMeshes[i];
    if (!mesh || !IsSurface(mesh)) continue;
    if (!mesh->HasNormals()) missingNormals = true;
    if (mesh->mNumFaces > 0 && mesh->mNumVertices / 3 >= mesh->mNumFaces) perCorner = true;
  }
  unsigned int flags = aiProcess_Triangulate | aiProcess_SortByPType;
  flatNormalsByHand = false;
  if (missingNormals) {
    if (normalMode == KIVSceneImporter::SmoothNormals)
      flags |= aiProcess_GenSmoothNormals;
    else
      flatNormalsByHand = true;  // a shared vertex cannot carry the normals of two faces
  }
  if (perCorner) flags |= aiProcess_JoinIdenticalVertices;
  return flags;
}

unsigned char ToByte(float v) {
  if (!(v > 0.0f)) return 0;  // negative and NaN
  if (v >= 1.0f) return 255;
  return static_cast<unsigned char>(std::lround(v * 255.0f));
}

// The colour of a material: base colour (glTF) or diffuse, with the smaller of its alpha
// and the opacity (OBJ's d). glTF's OPAQUE mode ignores alpha. False when the material
// has no colour (assimp's default material), so the leaf keeps the default look.
bool MaterialRGBA(const aiMaterial* material, unsigned char rgba[4]) {
  if (!material) return false;
  aiString name;
  if (material->Get(AI_MATKEY_NAME, name) == AI_SUCCESS && std::string(name.C_Str()) == AI_DEFAULT_MATERIAL_NAME)
    return false;
  aiColor4D colour;
  if (material->Get(AI_MATKEY_BASE_COLOR, colour) != AI_SUCCESS &&
      material->Get(AI_MATKEY_COLOR_DIFFUSE, colour) != AI_SUCCESS)
    return false;
  float alpha = colour.a, opacity = 1.0f;
  if (material->Get(AI_MATKEY_OPACITY, opacity) == AI_SUCCESS) alpha = std::min(alpha, opacity);
  aiString mode;
  if (material->Get(AI_MATKEY_GLTF_ALPHAMODE, mode) == AI_SUCCESS && std::string(mode.C_Str()) == "OPAQUE")
    alpha = 1.0f;
  rgba[0] = ToByte(colour.r), rgba[1] = ToByte(colour.g), rgba[2] = ToByte(colour.b), rgba[3] = ToByte(alpha);
  return true;
}

// assimp's matrices carry column vectors; the scene tree's carry row vectors.
KIV4x4Matrix ToMatrix(const aiMatrix4x4& m) {
  const float values[16] = {m.a1, m.b1, m.c1, m.d1, m.a2, m.b2, m.c2, m.d2,
                            m.a3, m.b3, m.c3, m.d3, m.a4, m.b4, m.c4, m.d4};
  return KIV4x4Matrix(values);
}

bool Finite(const aiVector3D* v, unsigned int count) {
  for (unsigned int i = 0; i < count; ++i)
    if (!std::isfinite(v[i].x) || !std::isfinite(v[i].y) || !std::isfinite(v[i].z)) return false;
  return true;
}

// Turns the scene's meshes into leaves and its nodes into bags. Buffers are reused from
// mesh to mesh, so a large file costs a few allocations, not one per triangle.
class TreeBuilder {
 public:
  TreeBuilder(const aiScene* scene, KIVImportedScene& result, int flatNormals)
      : mScene(scene), mResult(result), mFlatNormals(flatNormals), mLeaves(scene->mNumMeshes, nullptr),
        mMade(scene->mNumMeshes, false) {}

  /// Builds the bags below `parent`; false with the reason when the node graph is bad.
  bool Build(const aiNode* node, KIV3DBagRep* parent, int depth, std::string& error) {
    if (!node) return true;
    if (depth > kMaxDepth) return error = "node hierarchy deeper than " + std::to_string(kMaxDepth), false;
    if (!mVisited.insert(node).second) return error = "node graph is not a tree", false;
    auto* bag = new KIV3DBagRep;
    mResult.Adopt(bag, node->mName.C_Str());
    if (!node->mTransformation.IsIdentity()) bag->SetMatrix(ToMatrix(node->mTransformation));
    for (unsigned int i = 0; i < node->mNumMeshes; ++i)
      if (KIV3DCustomRep* leaf = Leaf(node->mMeshes[i])) bag->AddChild(leaf);
    for (unsigned int i = 0; i < node->mNumChildren; ++i)
      if (!Build(node->mChildren[i], bag, depth + 1, error)) return false;
    parent->AddChild(bag);
    return true;
  }
  long long Triangles() const { return mTriangles; }
  int Models() const { return mModels; }

 private:
  // One leaf per mesh, made when a node first uses it and shared by the others.
  KIV3DCustomRep* Leaf(unsigned int index) {
    if (index >= mScene->mNumMeshes) return nullptr;
    if (mMade[index]) return mLeaves[index];
    mMade[index] = true;
    const aiMesh* mesh = mScene->mMeshes[index];
    KIVGraphicPrimitive* gp = mesh ? Primitive(mesh) : nullptr;
    if (!gp) return nullptr;
    auto* leaf = new KIV3DCustomRep;
    mResult.Adopt(leaf, mesh->mName.C_Str());
    unsigned char rgba[4];
    if (mesh->mMaterialIndex < mScene->mNumMaterials && MaterialRGBA(mScene->mMaterials[mesh->mMaterialIndex], rgba)) {
      KIVGraphicAttributeSet set = leaf->GetGraphicAttributeSet();
      set.SetRGBA(rgba[0], rgba[1], rgba[2], rgba[3]);
      set.SetFlag(KIVGraphicAttributeSet::Transparent, rgba[3] < 255);
      leaf->SetGraphicAttributeSet(set);
    }
    leaf->AddGP(gp);
    mTriangles += gp->GetTriangleCount();
    ++mModels;
    mLeaves[index] = leaf;
    return leaf;
  }

  // After SortByPType a mesh holds one kind of primitive: triangles, lines or points.
  KIVGraphicPrimitive* Primitive(const aiMesh* mesh) {
    const unsigned int nv = mesh->mNumVertices;
    if (!mesh->mVertices || nv == 0 || nv > INT_MAX / 9 || mesh->mNumFaces > INT_MAX / 9) return nullptr;
    if (!Finite(mesh->mVertices, nv)) return nullptr;
    if (mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE) return Faces(mesh);
    if (mesh->mPrimitiveTypes & aiPrimitiveType_LINE) return Lines(mesh);
    if (mesh->mPrimitiveTypes & aiPrimitiveType_POINT) return Markers(mesh);
    return nullptr;
  }

  KIVGraphicPrimitive* Faces(const aiMesh* mesh) {
    const unsigned int nv = mesh->mNumVertices;
    mIndices.clear();
    mIndices.reserve(3 * size_t(mesh->mNumFaces));
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (face.mNumIndices != 3 || !face.mIndices) continue;
      const unsigned int a = face.mIndices[0], b = face.mIndices[1], c = face.mIndices[2];
      if (a >= nv || b >= nv || c >= nv) continue;
      mIndices.push_back(int(a)), mIndices.push_back(int(b)), mIndices.push_back(int(c));
    }
    if (mIndices.empty()) return nullptr;
    const int triangles = int(mIndices.size() / 3);
    if (!mesh->mNormals && mFlatNormals) return FlatFaces(mesh, triangles);
    Copy(mesh->mVertices, nv, mVertices);
    const float* normals = nullptr;
    if (mesh->mNormals && Finite(mesh->mNormals, nv)) {
      Copy(mesh->mNormals, nv, mNormals);
      normals = mNormals.data();
    }
    return new KIV3DFaceGP(mVertices.data(), int(mVertices.size()), normals, mIndices.data(), triangles);
  }

  // Three vertices of its own per triangle, each with the face's normal.
  KIVGraphicPrimitive* FlatFaces(const aiMesh* mesh, int triangles) {
    mVertices.resize(9 * size_t(triangles));
    mNormals.resize(9 * size_t(triangles));
    for (int t = 0; t < triangles; ++t) {
      const aiVector3D& p0 = mesh->mVertices[mIndices[3 * t]];
      const aiVector3D& p1 = mesh->mVertices[mIndices[3 * t + 1]];
      const aiVector3D& p2 = mesh->mVertices[mIndices[3 * t + 2]];
      aiVector3D n = (p1 - p0) ^ (p2 - p0);
      const float length = n.Length();
      n = length > 0.0f && std::isfinite(length) ? n / length : aiVector3D(0.0f, 0.0f, 1.0f);
      const aiVector3D* corners[3] = {&p0, &p1, &p2};
      for (int k = 0; k < 3; ++k) {
        float* v = &mVertices[9 * size_t(t) + 3 * k];
        float* vn = &mNormals[9 * size_t(t) + 3 * k];
        v[0] = corners[k]->x, v[1] = corners[k]->y, v[2] = corners[k]->z;
        vn[0] = n.x, vn[1] = n.y, vn[2] = n.z;
        mIndices[3 * t + k] = 3 * t + k;
      }
    }
    return new KIV3DFaceGP(mVertices.data(), int(mVertices.size()), mNormals.data(), mIndices.data(), triangles);
  }

  KIVGraphicPrimitive* Lines(const aiMesh* mesh) {
    mVertices.clear();
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (face.mNumIndices != 2 || !face.mIndices) continue;
      const unsigned int a = face.mIndices[0], b = face.mIndices[1];
      if (a >= mesh->mNumVertices || b >= mesh->mNumVertices) continue;
      for (unsigned int i : {a, b}) {
        const aiVector3D& p = mesh->mVertices[i];
        mVertices.push_back(p.x), mVertices.push_back(p.y), mVertices.push_back(p.z);
      }
    }
    if (mVertices.empty()) return nullptr;
    return new KIV3DLineGP(mVertices.data(), int(mVertices.size()));
  }

  KIVGraphicPrimitive* Markers(const aiMesh* mesh) {
    Copy(mesh->mVertices, mesh->mNumVertices, mVertices);
    return new KIV3DMarkerGP(mVertices.data(), int(mVertices.size()));
  }

  static void Copy(const aiVector3D* v, unsigned int count, std::vector<float>& out) {
    out.resize(3 * size_t(count));
    for (unsigned int i = 0; i < count; ++i) out[3 * i] = v[i].x, out[3 * i + 1] = v[i].y, out[3 * i + 2] = v[i].z;
  }

  const aiScene* mScene;
  KIVImportedScene& mResult;
  int mFlatNormals;
  std::vector<KIV3DCustomRep*> mLeaves;
  std::vector<bool> mMade;
  std::unordered_set<const aiNode*> mVisited;
  std::vector<float> mVertices, mNormals;
  std::vector<int> mIndices;
  long long mTriangles = 0;
  int mModels = 0;
};

// Reads with `read`, post-processes and builds the tree; every failure becomes the
// result's one-line error, and nothing assimp throws gets past.
template <class Read>
void Fill(KIVImportedScene& result, const KIVSceneImporter& importer,
          const KIVSceneImporter::ProgressCallback& progress, const std::string& label, const std::string& topName,
          Read read) {
  const std::string prefix = "cannot read " + label + ": ";
  try {
    Assimp::Importer assimp;
    auto* relay = new ProgressRelay(progress);  // the importer deletes it
    assimp.SetProgressHandler(relay);
    assimp.SetPropertyFloat(AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, importer.GetSmoothingAngle());
    const aiScene* scene = read(assimp, 0u);
    if (relay->Cancelled()) return result.Fail("import of " + label + " cancelled");
    if (!scene) return result.Fail(prefix + Reason(assimp.GetErrorString()));
    if (scene->mNumMeshes == 0 || !scene->mMeshes || !scene->mRootNode) return result.Fail(prefix + "no geometry");
    bool flatByHand = false;
    const unsigned int flags = PostProcessFlags(scene, importer.GetNormalMode(), flatByHand);
    relay->SetStage(kReadEnd, kPostEnd);
    // Validation runs first, so that post-processing never meets indices a loader got wrong.
    scene = assimp.ApplyPostProcessing(aiProcess_ValidateDataStructure | flags);
    if (relay->Cancelled()) return result.Fail("import of " + label + " cancelled");
    if (!scene) return result.Fail(prefix + Reason(assimp.GetErrorString()));
    if (!scene->mRootNode) return result.Fail(prefix + "no geometry");

    auto* top = new KIV3DBagRep;
    result.Adopt(top, topName.c_str());
    TreeBuilder builder(scene, result, flatByHand);
    std::string error;
    if (!builder.Build(scene->mRootNode, top, 0, error)) return result.Fail(prefix + error);
    if (builder.Models() == 0) return result.Fail(prefix + "no geometry");
    result.SetCounts(builder.Triangles(), builder.Models());
    if (!relay->Report(1.0f)) result.Fail("import of " + label + " cancelled");
  } catch (const std::exception& e) {
    result.Fail(prefix + OneLine(e.what()));
  } catch (...) {
    result.Fail(prefix + "unknown error");
  }
}

}  // namespace

int KIVSceneImporter::SetNormalMode(int mode) {
  if (mode != SmoothNormals && mode != FlatNormals) return 0;
  mNormalMode = mode;
  return 1;
}

int KIVSceneImporter::SetSmoothingAngle(float degrees) {
  if (!(degrees >= 0.0f && degrees <= 180.0f)) return 0;
  mSmoothingAngle = degrees;
  return 1;
}

KIVImportedScene KIVSceneImporter::Import(const char* path) const {
  if (!path || !*path) {
    KIVImportedScene result;
    result.Fail("cannot read a file without a name");
    return result;
  }
  const std::string name = std::filesystem::path(path).filename().string();
  std::string label = "'";
  label.append(path).append("'");
  KIVImportedScene result;
  Fill(result, *this, mProgress, label, name.empty() ? std::string(path) : name,
       [path](Assimp::Importer& assimp, unsigned int flags) { return assimp.ReadFile(path, flags); });
  return result;
}

KIVImportedScene KIVSceneImporter::ImportFromMemory(const void* data, size_t size, const char* hint) const {
  const std::string format = hint ? hint : "";
  const std::string label = "memory" + (format.empty() ? std::string() : " (" + format + ")");
  if (!data || size == 0) {
    KIVImportedScene result;
    result.Fail("cannot read " + label + ": no data");
    return result;
  }
  KIVImportedScene result;
  Fill(result, *this, mProgress, label, format.empty() ? "memory" : "memory." + format,
             [&](Assimp::Importer& assimp, unsigned int flags) {
               return assimp.ReadFileFromMemory(data, size, flags, format.c_str());
             });
  return result;
}
