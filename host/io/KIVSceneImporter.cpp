#include "host/io/KIVSceneImporter.h"

#include <assimp/GltfMaterial.h>
#include <assimp/MemoryIOWrapper.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/io/KIVJsonCheck.h"
#include "host/io/KIVTextureLoader.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DPointSetGP.h"
#include "host/visu/math/KIV4x4Matrix.h"

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

// Coordinates beyond this cannot be used: squared distances overflow a float, which makes
// bounds infinite and the model impossible to frame, cull or pick. Damaged files decode
// to such values.
constexpr float kCoordinateRange = 1e18f;

bool Finite(const aiVector3D& v) {
  return std::fabs(v.x) <= kCoordinateRange && std::fabs(v.y) <= kCoordinateRange && std::fabs(v.z) <= kCoordinateRange;
}

bool Finite(const aiVector3D* v, unsigned int count) {
  for (unsigned int i = 0; i < count; ++i)
    if (!Finite(v[i])) return false;
  return true;
}

bool FiniteNormals(const aiVector3D* v, unsigned int count) {
  for (unsigned int i = 0; i < count; ++i)
    if (!std::isfinite(v[i].x) || !std::isfinite(v[i].y) || !std::isfinite(v[i].z)) return false;
  return true;
}

// assimp's wrap modes as the image's; decal (transparent outside) is drawn clamped.
int Wrap(aiTextureMapMode mode) {
  switch (mode) {
    case aiTextureMapMode_Clamp:
    case aiTextureMapMode_Decal:
      return KIVTextureImage::Clamp;
    case aiTextureMapMode_Mirror:
      return KIVTextureImage::Mirror;
    default:
      return KIVTextureImage::Repeat;
  }
}

std::string Plural(long long count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// A point cloud read without faces (PLY vertices alone) fails validation ("Mesh contains
// no faces"): it gets one point face per vertex, as a file listing its points would give.
// The importer made the scene and keeps it writable; only its interface hands it out const.
void GivePointsFaces(const aiScene* scene) {
  for (unsigned int i = 0; i < scene->mNumMeshes; ++i) {
    aiMesh* mesh = scene->mMeshes[i];
    if (!mesh || mesh->mNumFaces != 0 || mesh->mFaces || !mesh->mVertices || mesh->mNumVertices == 0 ||
        mesh->mNumVertices > INT_MAX / 9)
      continue;
    mesh->mFaces = new aiFace[mesh->mNumVertices];
    for (unsigned int v = 0; v < mesh->mNumVertices; ++v) {
      mesh->mFaces[v].mNumIndices = 1;
      mesh->mFaces[v].mIndices = new unsigned int[1]{v};
    }
    mesh->mNumFaces = mesh->mNumVertices;
    mesh->mPrimitiveTypes = aiPrimitiveType_POINT;
  }
}

// The file's up axis: glTF's is +y by definition; other formats say it in their metadata
// (FBX), or are taken as z-up, the scene's own vertical. `forced` ('x', 'y', 'z') wins.
void UpAxis(const aiScene* scene, const std::string& extension, char forced, char& sign, char& axis) {
  sign = '+', axis = 'z';
  if (forced == 'x' || forced == 'y' || forced == 'z') {
    axis = forced;
    return;
  }
  if (extension == "gltf" || extension == "glb") {
    axis = 'y';
    return;
  }
  int up = 2, upSign = 1;
  if (scene->mMetaData && scene->mMetaData->Get("UpAxis", up)) {
    scene->mMetaData->Get("UpAxisSign", upSign);
    if (up >= 0 && up <= 2) axis = static_cast<char>('x' + up);
    sign = upSign < 0 ? '-' : '+';
  }
}

// The placement that turns the file's up to +z, keeping the frame right-handed: rows are
// the images of x, y and z (row vectors).
KIV4x4Matrix UpRotation(char sign, char axis) {
  float rows[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  if (axis == 'y') {  // (x, y, z) -> (x, -z, y)
    const float r[3][3] = {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
    std::copy(&r[0][0], &r[0][0] + 9, &rows[0][0]);
  } else if (axis == 'x') {  // (x, y, z) -> (y, z, x)
    const float r[3][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    std::copy(&r[0][0], &r[0][0] + 9, &rows[0][0]);
  }
  if (sign == '-')  // half a turn about x afterwards: up becomes down
    for (auto& row : rows) row[1] = -row[1], row[2] = -row[2];
  const float values[16] = {rows[0][0], rows[0][1], rows[0][2], 0, rows[1][0], rows[1][1], rows[1][2], 0,
                            rows[2][0], rows[2][1], rows[2][2], 0, 0,          0,          0,          1};
  return KIV4x4Matrix(values);
}

// Turns the scene's meshes into leaves and its nodes into bags. Buffers are reused from
// mesh to mesh, so a large file costs a few allocations, not one per triangle.
class TreeBuilder {
 public:
  TreeBuilder(const aiScene* scene, KIVImportedScene& result, int flatNormals, KIVTextureLoader& textures)
      : mScene(scene), mResult(result), mFlatNormals(flatNormals), mTextures(textures),
        mLeaves(scene->mNumMeshes, nullptr), mMade(scene->mNumMeshes, false) {}

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
  long long Points() const { return mPoints; }
  int Models() const { return mModels; }
  /// What was left out, for the result's warning.
  void Report(KIVImportedScene& result) const {
    if (mDroppedTriangles)
      result.AddWarning(Plural(mDroppedTriangles, "triangle", "triangles") + " with non-finite or out-of-range coordinates left out");
    if (mDroppedLines)
      result.AddWarning(Plural(mDroppedLines, "segment", "segments") + " with non-finite or out-of-range coordinates left out");
    if (mDroppedPoints)
      result.AddWarning(Plural(mDroppedPoints, "point", "points") + " with non-finite or out-of-range coordinates left out");
    for (const std::string& text : mTextureErrors) result.AddWarning(text);
  }

 private:
  // One leaf per mesh, made when a node first uses it and shared by the others.
  KIV3DCustomRep* Leaf(unsigned int index) {
    if (index >= mScene->mNumMeshes) return nullptr;
    if (mMade[index]) return mLeaves[index];
    mMade[index] = true;
    const aiMesh* mesh = mScene->mMeshes[index];
    const aiMaterial* material =
        mesh && mesh->mMaterialIndex < mScene->mNumMaterials ? mScene->mMaterials[mesh->mMaterialIndex] : nullptr;
    KIVGraphicPrimitive* gp = mesh ? Primitive(mesh, material) : nullptr;
    if (!gp) return nullptr;
    auto* leaf = new KIV3DCustomRep;
    mResult.Adopt(leaf, mesh->mName.C_Str());
    unsigned char rgba[4];
    if (MaterialRGBA(material, rgba)) {
      KIVGraphicAttributeSet set = leaf->GetGraphicAttributeSet();
      set.SetRGBA(rgba[0], rgba[1], rgba[2], rgba[3]);
      set.SetFlag(KIVGraphicAttributeSet::Transparent, rgba[3] < 255);
      leaf->SetGraphicAttributeSet(set);
    } else if (mesh->HasVertexColors(0) || (mesh->HasTextureCoords(0) && TextureOf(material))) {
      // Without a material colour, the vertices' colours or the texture show as they are,
      // not multiplied by the default grey.
      KIVGraphicAttributeSet set = leaf->GetGraphicAttributeSet();
      set.SetRGBA(255, 255, 255, 255);
      leaf->SetGraphicAttributeSet(set);
    }
    leaf->AddGP(gp);
    mTriangles += gp->GetTriangleCount();
    if (auto* points = dynamic_cast<KIV3DPointSetGP*>(gp)) mPoints += points->GetPointCount();
    ++mModels;
    mLeaves[index] = leaf;
    return leaf;
  }

  // After SortByPType a mesh holds one kind of primitive: triangles, lines or points.
  KIVGraphicPrimitive* Primitive(const aiMesh* mesh, const aiMaterial* material) {
    const unsigned int nv = mesh->mNumVertices;
    if (!mesh->mVertices || nv == 0 || nv > INT_MAX / 9 || mesh->mNumFaces > INT_MAX / 9) return nullptr;
    if (mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE) return Faces(mesh, material);
    if (mesh->mPrimitiveTypes & aiPrimitiveType_LINE) return Lines(mesh);
    if (mesh->mPrimitiveTypes & aiPrimitiveType_POINT) return Points(mesh);
    return nullptr;
  }

  // The base colour (glTF) or diffuse texture of a material, with its wrap modes; null
  // when it has none or it cannot be read (the reason is kept for the warning, once).
  std::shared_ptr<const KIVTextureImage> TextureOf(const aiMaterial* material) {
    if (!material) return nullptr;
    for (aiTextureType type : {aiTextureType_BASE_COLOR, aiTextureType_DIFFUSE}) {
      aiString path;
      if (material->GetTexture(type, 0, &path) != AI_SUCCESS || path.length == 0) continue;
      const std::string reference = path.C_Str();
      std::string error;
      std::shared_ptr<const KIVTextureImage> image;
      if (const aiTexture* embedded = mScene->GetEmbeddedTexture(reference.c_str())) {
        if (embedded->mHeight == 0 && embedded->pcData && embedded->mWidth > 0) {
          image = mTextures.LoadMemory("embedded " + reference, embedded->pcData, embedded->mWidth, &error);
        } else if (embedded->pcData && embedded->mWidth > 0 && embedded->mHeight > 0 &&
                   static_cast<unsigned long long>(embedded->mWidth) * embedded->mHeight <= (1ull << 28)) {
          // Raw texels, BGRA.
          std::vector<unsigned char> rgba(4 * static_cast<size_t>(embedded->mWidth) * embedded->mHeight);
          for (size_t i = 0; i < rgba.size() / 4; ++i) {
            const aiTexel& t = embedded->pcData[i];
            rgba[4 * i] = t.r, rgba[4 * i + 1] = t.g, rgba[4 * i + 2] = t.b, rgba[4 * i + 3] = t.a;
          }
          image = std::make_shared<const KIVTextureImage>(int(embedded->mWidth), int(embedded->mHeight),
                                                          std::move(rgba), reference);
        } else {
          error = "embedded texture '" + reference + "' is empty";
        }
      } else {
        image = mTextures.LoadFile(reference, &error);
      }
      if (!image) {
        if (mTextureErrorsSeen.insert(error).second) mTextureErrors.push_back(error);
        return nullptr;
      }
      aiTextureMapMode u = aiTextureMapMode_Wrap, v = aiTextureMapMode_Wrap;
      material->Get(AI_MATKEY_MAPPINGMODE_U(type, 0), u);
      material->Get(AI_MATKEY_MAPPINGMODE_V(type, 0), v);
      if (Wrap(u) == image->GetWrapU() && Wrap(v) == image->GetWrapV()) return image;
      // Another sampler on the same pixels: a twin image with its own modes, made once.
      const std::string key = reference + "#" + std::to_string(Wrap(u)) + std::to_string(Wrap(v));
      auto& twin = mWrapped[key];
      if (!twin) {
        std::vector<unsigned char> copy = image->GetRGBA();
        auto made = std::make_shared<KIVTextureImage>(image->GetWidth(), image->GetHeight(), std::move(copy),
                                                      image->GetName());
        made->SetWrap(Wrap(u), Wrap(v));
        twin = made;
      }
      return twin;
    }
    return nullptr;
  }

  KIVGraphicPrimitive* Faces(const aiMesh* mesh, const aiMaterial* material) {
    const unsigned int nv = mesh->mNumVertices;
    const bool finite = Finite(mesh->mVertices, nv);
    mIndices.clear();
    mIndices.reserve(3 * size_t(mesh->mNumFaces));
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (face.mNumIndices != 3 || !face.mIndices) continue;
      const unsigned int a = face.mIndices[0], b = face.mIndices[1], c = face.mIndices[2];
      if (a >= nv || b >= nv || c >= nv) continue;
      if (!finite && (!Finite(mesh->mVertices[a]) || !Finite(mesh->mVertices[b]) || !Finite(mesh->mVertices[c]))) {
        ++mDroppedTriangles;
        continue;
      }
      mIndices.push_back(int(a)), mIndices.push_back(int(b)), mIndices.push_back(int(c));
    }
    if (mIndices.empty()) return nullptr;
    const int triangles = int(mIndices.size() / 3);
    // The vertices kept: all of them, or those of the triangles kept, renumbered, so that
    // no non-finite point reaches the bounds.
    mKept.clear();
    if (!finite) {
      std::vector<int> remap(nv, -1);
      for (int& i : mIndices) {
        if (remap[i] < 0) remap[i] = int(mKept.size()), mKept.push_back(unsigned(i));
        i = remap[i];
      }
    }
    const int count = finite ? int(nv) : int(mKept.size());
    auto source = [&](int i) { return finite ? unsigned(i) : mKept[i]; };

    std::shared_ptr<const KIVTextureImage> texture;
    unsigned int channel = 0;
    if (material && TextureUVChannel(material, mesh, channel)) texture = TextureOf(material);
    const aiVector3D* uv = texture ? mesh->mTextureCoords[channel] : nullptr;
    const aiColor4D* colours = mesh->HasVertexColors(0) ? mesh->mColors[0] : nullptr;

    KIV3DFaceGP* gp = nullptr;
    if (!mesh->mNormals && mFlatNormals) {
      gp = FlatFaces(mesh, triangles, source);
      // Flat faces give each triangle its own corners: attributes follow the corners.
      mCorner.resize(3 * size_t(triangles));
      for (int t = 0; t < triangles; ++t)
        for (int k = 0; k < 3; ++k) mCorner[3 * t + k] = source(mIndices[3 * t + k]);
    } else {
      mVertices.resize(3 * size_t(count));
      for (int i = 0; i < count; ++i) {
        const aiVector3D& p = mesh->mVertices[source(i)];
        mVertices[3 * i] = p.x, mVertices[3 * i + 1] = p.y, mVertices[3 * i + 2] = p.z;
      }
      const float* normals = nullptr;
      if (mesh->mNormals && FiniteNormals(mesh->mNormals, nv)) {
        mNormals.resize(3 * size_t(count));
        for (int i = 0; i < count; ++i) {
          const aiVector3D& n = mesh->mNormals[source(i)];
          mNormals[3 * i] = n.x, mNormals[3 * i + 1] = n.y, mNormals[3 * i + 2] = n.z;
        }
        normals = mNormals.data();
      }
      gp = new KIV3DFaceGP(mVertices.data(), int(mVertices.size()), normals, mIndices.data(), triangles);
      mCorner.resize(size_t(count));
      for (int i = 0; i < count; ++i) mCorner[i] = source(i);
    }
    const int vertices = gp->GetVertexCount();
    if (colours) {
      std::vector<unsigned char> rgba(4 * size_t(vertices));
      for (int i = 0; i < vertices; ++i) {
        const aiColor4D& c = colours[mCorner[i]];
        rgba[4 * i] = ToByte(c.r), rgba[4 * i + 1] = ToByte(c.g), rgba[4 * i + 2] = ToByte(c.b),
                 rgba[4 * i + 3] = ToByte(c.a);
      }
      gp->SetColors(rgba.data(), vertices);
    }
    if (uv) {
      std::vector<float> st(2 * size_t(vertices));
      bool good = true;
      for (int i = 0; i < vertices && good; ++i) {
        const aiVector3D& t = uv[mCorner[i]];
        st[2 * i] = t.x, st[2 * i + 1] = t.y;
        good = std::isfinite(t.x) && std::isfinite(t.y);
      }
      if (good && gp->SetTexCoords(st.data(), vertices)) gp->SetTexture(texture);
    }
    return gp;
  }

  // The UV set a material's texture reads, when the mesh has it.
  static bool TextureUVChannel(const aiMaterial* material, const aiMesh* mesh, unsigned int& channel) {
    channel = 0;
    for (aiTextureType type : {aiTextureType_BASE_COLOR, aiTextureType_DIFFUSE}) {
      if (material->GetTextureCount(type) == 0) continue;
      int source = 0;
      if (material->Get(AI_MATKEY_UVWSRC(type, 0), source) == AI_SUCCESS && source >= 0 &&
          source < AI_MAX_NUMBER_OF_TEXTURECOORDS)
        channel = unsigned(source);
      return mesh->HasTextureCoords(channel);
    }
    return false;
  }

  // Three vertices of its own per triangle, each with the face's normal.
  template <class Source>
  KIV3DFaceGP* FlatFaces(const aiMesh* mesh, int triangles, Source source) {
    mVertices.resize(9 * size_t(triangles));
    mNormals.resize(9 * size_t(triangles));
    mFlatIndices.resize(3 * size_t(triangles));
    for (int t = 0; t < triangles; ++t) {
      const aiVector3D& p0 = mesh->mVertices[source(mIndices[3 * t])];
      const aiVector3D& p1 = mesh->mVertices[source(mIndices[3 * t + 1])];
      const aiVector3D& p2 = mesh->mVertices[source(mIndices[3 * t + 2])];
      aiVector3D n = (p1 - p0) ^ (p2 - p0);
      const float length = n.Length();
      n = length > 0.0f && std::isfinite(length) ? n / length : aiVector3D(0.0f, 0.0f, 1.0f);
      const aiVector3D* corners[3] = {&p0, &p1, &p2};
      for (int k = 0; k < 3; ++k) {
        float* v = &mVertices[9 * size_t(t) + 3 * k];
        float* vn = &mNormals[9 * size_t(t) + 3 * k];
        v[0] = corners[k]->x, v[1] = corners[k]->y, v[2] = corners[k]->z;
        vn[0] = n.x, vn[1] = n.y, vn[2] = n.z;
        mFlatIndices[3 * t + k] = 3 * t + k;
      }
    }
    return new KIV3DFaceGP(mVertices.data(), int(mVertices.size()), mNormals.data(), mFlatIndices.data(), triangles);
  }

  KIVGraphicPrimitive* Lines(const aiMesh* mesh) {
    mVertices.clear();
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (face.mNumIndices != 2 || !face.mIndices) continue;
      const unsigned int a = face.mIndices[0], b = face.mIndices[1];
      if (a >= mesh->mNumVertices || b >= mesh->mNumVertices) continue;
      if (!Finite(mesh->mVertices[a]) || !Finite(mesh->mVertices[b])) {
        ++mDroppedLines;
        continue;
      }
      for (unsigned int i : {a, b}) {
        const aiVector3D& p = mesh->mVertices[i];
        mVertices.push_back(p.x), mVertices.push_back(p.y), mVertices.push_back(p.z);
      }
    }
    if (mVertices.empty()) return nullptr;
    return new KIV3DLineGP(mVertices.data(), int(mVertices.size()));
  }

  // The points the point faces name, each once, with their colours when the file has some.
  KIVGraphicPrimitive* Points(const aiMesh* mesh) {
    const unsigned int nv = mesh->mNumVertices;
    const aiColor4D* colours = mesh->HasVertexColors(0) ? mesh->mColors[0] : nullptr;
    std::vector<bool> used(nv, false);
    mVertices.clear();
    std::vector<unsigned char> rgba;
    for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (!face.mIndices) continue;
      for (unsigned int k = 0; k < face.mNumIndices; ++k) {
        const unsigned int i = face.mIndices[k];
        if (i >= nv || used[i]) continue;
        used[i] = true;
        const aiVector3D& p = mesh->mVertices[i];
        if (!Finite(p)) {
          ++mDroppedPoints;
          continue;
        }
        mVertices.push_back(p.x), mVertices.push_back(p.y), mVertices.push_back(p.z);
        if (colours) {
          const aiColor4D& c = colours[i];
          rgba.insert(rgba.end(), {ToByte(c.r), ToByte(c.g), ToByte(c.b), ToByte(c.a)});
        }
      }
    }
    if (mVertices.empty()) return nullptr;
    return new KIV3DPointSetGP(mVertices.data(), int(mVertices.size()), colours ? rgba.data() : nullptr);
  }

  const aiScene* mScene;
  KIVImportedScene& mResult;
  int mFlatNormals;
  KIVTextureLoader& mTextures;
  std::vector<KIV3DCustomRep*> mLeaves;
  std::vector<bool> mMade;
  std::unordered_set<const aiNode*> mVisited;
  std::vector<float> mVertices, mNormals;
  std::vector<int> mIndices, mFlatIndices;
  std::vector<unsigned int> mKept, mCorner;  // source vertex of each kept vertex or corner
  std::unordered_map<std::string, std::shared_ptr<const KIVTextureImage>> mWrapped;
  std::vector<std::string> mTextureErrors;
  std::unordered_set<std::string> mTextureErrorsSeen;
  long long mTriangles = 0, mPoints = 0;
  long long mDroppedTriangles = 0, mDroppedLines = 0, mDroppedPoints = 0;
  int mModels = 0;
};

// Reads with `read`, post-processes and builds the tree; every failure becomes the
// result's one-line error, and nothing assimp throws gets past. A file read without
// error but without anything to draw gives an empty top bag and a warning.
template <class Read>
void Fill(KIVImportedScene& result, const KIVSceneImporter& importer,
          const KIVSceneImporter::ProgressCallback& progress, const std::string& label, const std::string& topName,
          const std::string& folder, const std::string& extension, Read read) {
  const std::string prefix = "cannot read " + label + ": ";
  try {
    Assimp::Importer assimp;
    auto* relay = new ProgressRelay(progress);  // the importer deletes it
    assimp.SetProgressHandler(relay);
    assimp.SetPropertyFloat(AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, importer.GetSmoothingAngle());
    const aiScene* scene = read(assimp, 0u);
    if (relay->Cancelled()) return result.Fail("import of " + label + " cancelled");
    if (!scene) return result.Fail(prefix + Reason(assimp.GetErrorString()));
    char sign = '+', axis = 'z';
    UpAxis(scene, extension, importer.GetUpAxis(), sign, axis);
    result.SetUpAxis(sign, axis);
    auto makeTop = [&] {
      auto* top = new KIV3DBagRep;
      result.Adopt(top, topName.c_str());
      if (sign != '+' || axis != 'z') top->SetMatrix(UpRotation(sign, axis));
      return top;
    };
    if (scene->mNumMeshes == 0 || !scene->mMeshes || !scene->mRootNode) {
      makeTop();
      return result.AddWarning(label + " has no geometry");
    }
    GivePointsFaces(scene);
    bool flatByHand = false;
    const unsigned int flags = PostProcessFlags(scene, importer.GetNormalMode(), flatByHand);
    relay->SetStage(kReadEnd, kPostEnd);
    // Validation runs first, so that post-processing never meets indices a loader got wrong.
    scene = assimp.ApplyPostProcessing(aiProcess_ValidateDataStructure | flags);
    if (relay->Cancelled()) return result.Fail("import of " + label + " cancelled");
    if (!scene) return result.Fail(prefix + Reason(assimp.GetErrorString()));
    KIV3DBagRep* top = makeTop();
    if (!scene->mRootNode) return result.AddWarning(label + " has no geometry");

    KIVTextureLoader textures(folder);
    TreeBuilder builder(scene, result, flatByHand, textures);
    std::string error;
    if (!builder.Build(scene->mRootNode, top, 0, error)) return result.Fail(prefix + error);
    builder.Report(result);
    if (builder.Models() == 0) result.AddWarning(label + " has no geometry");
    result.SetCounts(builder.Triangles(), builder.Models(), builder.Points());
    if (!relay->Report(1.0f)) result.Fail("import of " + label + " cancelled");
  } catch (const std::exception& e) {
    result.Fail(prefix + OneLine(e.what()));
  } catch (...) {
    result.Fail(prefix + "unknown error");
  }
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

int KIVSceneImporter::SetNormalMode(int mode) {
  if (mode != SmoothNormals && mode != FlatNormals) return 0;
  mNormalMode = mode;
  return 1;
}

int KIVSceneImporter::SetUpAxis(char axis) {
  if (axis != 0 && axis != 'x' && axis != 'y' && axis != 'z') return 0;
  mUpAxis = axis;
  return 1;
}

int KIVSceneImporter::SetSmoothingAngle(float degrees) {
  if (!(degrees >= 0.0f && degrees <= 180.0f)) return 0;
  mSmoothingAngle = degrees;
  return 1;
}

namespace {
// Text glTF goes to assimp only when it is well-formed JSON: its readers run past their
// buffer on some malformed files. Returns "" when fine, else the reason.
std::string MalformedGltf(const char* data, std::size_t size) {
  if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) data += 3, size -= 3;  // a byte-order mark
  std::string why;
  return KIVJsonCheck::IsWellFormed(data, size, &why) ? std::string() : "not a glTF file (malformed JSON: " + why + ")";
}
}  // namespace

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
  const std::filesystem::path file(path);
  std::string extension = Lower(file.extension().string());
  if (!extension.empty()) extension.erase(0, 1);
  if (extension == "gltf") {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.good() || in.eof())
      if (const std::string why = MalformedGltf(text.data(), text.size()); !why.empty()) {
        result.Fail("cannot read " + label + ": " + why);
        return result;
      }
  }
  Fill(result, *this, mProgress, label, name.empty() ? std::string(path) : name, file.parent_path().string(),
       extension, [path](Assimp::Importer& assimp, unsigned int flags) { return assimp.ReadFile(path, flags); });
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
  if (Lower(format) == "gltf")
    if (const std::string why = MalformedGltf(static_cast<const char*>(data), size); !why.empty()) {
      result.Fail("cannot read " + label + ": " + why);
      return result;
    }
  Fill(result, *this, mProgress, label, format.empty() ? "memory" : "memory." + format, std::string(),
       Lower(format), [&](Assimp::Importer& assimp, unsigned int flags) {
               return assimp.ReadFileFromMemory(data, size, flags, format.c_str());
             });
  return result;
}
