#include "host/visu/panels/KIVWriteVrml.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

#include "host/dialog/KIVDlgNotify.h"
#include "host/visu/scene/KIV2DRep.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DCylinderGP.h"
#include "host/visu/scene/KIV3DEdgeGP.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/scene/KIV3DPlanarFaceGP.h"
#include "host/visu/scene/KIV3DPolylineGP.h"
#include "host/visu/view/KIVColorMap.h"
#include "host/visu/view/KIVViewer.h"

namespace {

bool Hidden(const KIVRep& rep) { return rep.GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Hidden); }

// Text goes to a buffer that is flushed to the file as it grows (or kept, for WriteText).
class Output {
 public:
  explicit Output(std::FILE* file) : mFile(file) {}
  void Put(const char* text) { mBuffer += text; }
  void Put(const std::string& text) { mBuffer += text; }
  void Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", std::fabs(value) < 1e-30 ? 0.0 : value);
    mBuffer += text;
  }
  void Triple(double x, double y, double z) {
    Number(x), Put(" "), Number(y), Put(" "), Number(z);
  }
  void Indent(int depth) { mBuffer.append(static_cast<size_t>(2 * depth), ' '); }
  void Line(int depth, const char* text) { Indent(depth), Put(text), Put("\n"); }
  /// Hands what is buffered to the file when it is large enough (always with force).
  void Flush(bool force = false) {
    if (!mFile || (!force && mBuffer.size() < (1u << 20))) return;
    if (!mBuffer.empty() && std::fwrite(mBuffer.data(), 1, mBuffer.size(), mFile) != mBuffer.size()) mFailed = 1;
    mBuffer.clear();
  }
  int Failed() const { return mFailed; }
  std::string& Text() { return mBuffer; }
 private:
  std::FILE* mFile;
  std::string mBuffer;
  int mFailed = 0;
};

// A linear map applied to the vertices below a bag whose matrix VRML cannot say (shear,
// mirror), in the row-vector convention of KIV4x4Matrix.
struct Bake {
  KIV4x4Matrix linear;
  int identity = 1;
  int mirror = 0;
};

// A Transform's fields, from a matrix whose axes are orthogonal with a positive scale.
struct Placement {
  double translation[3], axis[3], angle, scale[3];
};

int Decompose(const KIV4x4Matrix& m, Placement& p) {
  double d[3][3], s[3];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) d[i][j] = m.Get(i, j);
    s[i] = std::sqrt(d[i][0] * d[i][0] + d[i][1] * d[i][1] + d[i][2] * d[i][2]);
    if (!(s[i] > 1e-30) || !std::isfinite(s[i])) return 0;
    p.translation[i] = m.Get(3, i);
    p.scale[i] = s[i];
  }
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 3; ++j) {
      const double dot = d[i][0] * d[j][0] + d[i][1] * d[j][1] + d[i][2] * d[j][2];
      if (std::fabs(dot) > 1e-5 * s[i] * s[j]) return 0;  // shear
    }
  const double det = d[0][0] * (d[1][1] * d[2][2] - d[1][2] * d[2][1]) -
                     d[0][1] * (d[1][0] * d[2][2] - d[1][2] * d[2][0]) +
                     d[0][2] * (d[1][0] * d[2][1] - d[1][1] * d[2][0]);
  if (!(det > 0.0)) return 0;  // a mirror: VRML scales are positive
  // The rotation in the column-vector convention: its columns are the unit axes' images.
  double r[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[j][i] = d[i][j] / s[i];
  // Quaternion (Shepperd), then axis and angle.
  double q[4];
  const double trace = r[0][0] + r[1][1] + r[2][2];
  if (trace > 0.0) {
    const double k = 2.0 * std::sqrt(trace + 1.0);
    q[0] = 0.25 * k, q[1] = (r[2][1] - r[1][2]) / k, q[2] = (r[0][2] - r[2][0]) / k, q[3] = (r[1][0] - r[0][1]) / k;
  } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
    const double k = 2.0 * std::sqrt(1.0 + r[0][0] - r[1][1] - r[2][2]);
    q[0] = (r[2][1] - r[1][2]) / k, q[1] = 0.25 * k, q[2] = (r[0][1] + r[1][0]) / k, q[3] = (r[0][2] + r[2][0]) / k;
  } else if (r[1][1] > r[2][2]) {
    const double k = 2.0 * std::sqrt(1.0 + r[1][1] - r[0][0] - r[2][2]);
    q[0] = (r[0][2] - r[2][0]) / k, q[1] = (r[0][1] + r[1][0]) / k, q[2] = 0.25 * k, q[3] = (r[1][2] + r[2][1]) / k;
  } else {
    const double k = 2.0 * std::sqrt(1.0 + r[2][2] - r[0][0] - r[1][1]);
    q[0] = (r[1][0] - r[0][1]) / k, q[1] = (r[0][2] + r[2][0]) / k, q[2] = (r[1][2] + r[2][1]) / k, q[3] = 0.25 * k;
  }
  const double v = std::sqrt(q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  p.angle = 2.0 * std::atan2(v, q[0]);
  if (v < 1e-12) {
    p.axis[0] = 0.0, p.axis[1] = 0.0, p.axis[2] = 1.0, p.angle = 0.0;
  } else {
    for (int i = 0; i < 3; ++i) p.axis[i] = q[i + 1] / v;
  }
  return 1;
}

KIV4x4Matrix LinearPart(const KIV4x4Matrix& m) {
  KIV4x4Matrix linear = m;
  for (int j = 0; j < 3; ++j) linear.Set(3, j, 0.0f);
  return linear;
}

double Determinant(const KIV4x4Matrix& m) {
  auto g = [&](int i, int j) { return static_cast<double>(m.Get(i, j)); };
  return g(0, 0) * (g(1, 1) * g(2, 2) - g(1, 2) * g(2, 1)) - g(0, 1) * (g(1, 0) * g(2, 2) - g(1, 2) * g(2, 0)) +
         g(0, 2) * (g(1, 0) * g(2, 1) - g(1, 1) * g(2, 0));
}

class Writer {
 public:
  Writer(Output& out, const KIVColorMap& colours) : mOut(out), mColours(colours) {}

  void Run(KIVRep** reps, int count) {
    mOut.Put("#VRML V2.0 utf8\n# Written by navtools\n\n");
    for (int i = 0; i < count; ++i)
      if (reps[i]) Count(reps[i]);
    for (int i = 0; i < count; ++i)
      if (reps[i]) Node(*reps[i], Bake(), nullptr, 0);
  }

 private:
  // How often each shown rep is reached, to know which ones are shared.
  void Count(KIVRep* rep) {
    if (Hidden(*rep)) return;
    if (mReached[rep]++) return;
    for (KIVRep* child : rep->GetChildren())
      if (child) Count(child);
  }

  // The key of a written sub-tree: the rep and what its text depends on besides it.
  static std::string Key(const KIVRep& rep, const Bake& bake, const KIVGraphicAttributeSet* inherited) {
    std::string key(reinterpret_cast<const char*>(&rep), sizeof(&rep));
    if (!bake.identity) {
      float values[16];
      bake.linear.GetValues(values);
      key.append(reinterpret_cast<const char*>(values), sizeof values);
    }
    if (inherited) key.append(reinterpret_cast<const char*>(inherited->bytes), sizeof inherited->bytes);
    return key;
  }

  void Node(KIVRep& rep, const Bake& bake, const KIVGraphicAttributeSet* inherited, int depth) {
    if (Hidden(rep) || dynamic_cast<KIV2DRep*>(&rep)) return;
    if (!inherited && rep.GetColorInheritanceMode() == 1) inherited = &rep.GetGraphicAttributeSet();
    mOut.Indent(depth);
    if (mReached[&rep] > 1) {
      const std::string key = Key(rep, bake, inherited);
      auto found = mDefs.find(key);
      if (found != mDefs.end()) {
        mOut.Put("USE " + found->second + "\n");
        return;
      }
      const std::string name = "R" + std::to_string(mDefs.size() + 1);
      mDefs.emplace(key, name);
      mOut.Put("DEF " + name + " ");
    }
    if (auto* bag = dynamic_cast<KIV3DBagRep*>(&rep)) {
      Bag(*bag, bake, inherited, depth);
    } else if (auto* leaf = dynamic_cast<KIV3DCustomRep*>(&rep)) {
      Leaf(*leaf, bake, inherited ? *inherited : rep.GetGraphicAttributeSet(), depth);
    } else {
      Group(rep, bake, inherited, depth);
    }
    mOut.Flush();
  }

  void Children(const KIVRep& rep, const Bake& bake, const KIVGraphicAttributeSet* inherited, int depth) {
    mOut.Line(depth, "children [");
    for (KIVRep* child : rep.GetChildren())
      if (child) Node(*child, bake, inherited, depth + 1);
    mOut.Line(depth, "]");
  }

  void Group(const KIVRep& rep, const Bake& bake, const KIVGraphicAttributeSet* inherited, int depth) {
    mOut.Put("Group {\n");
    Children(rep, bake, inherited, depth + 1);
    mOut.Line(depth, "}");
  }

  void Bag(const KIV3DBagRep& bag, const Bake& bake, const KIVGraphicAttributeSet* inherited, int depth) {
    if (!bag.GetMatrix()) {
      Group(bag, bake, inherited, depth);
      return;
    }
    // The bag's matrix, then what is baked below its parent: together, the placement of
    // the children's frame.
    const KIV4x4Matrix combined = bake.identity ? *bag.GetMatrix() : *bag.GetMatrix() * bake.linear;
    Placement p;
    Bake below;
    if (!Decompose(combined, p)) {
      // VRML cannot say it: the Transform keeps the translation, the vertices take the rest.
      KIV4x4Matrix translation;
      for (int j = 0; j < 3; ++j) translation.Set(3, j, combined.Get(3, j));
      Decompose(translation, p);
      below.linear = LinearPart(combined);
      below.identity = below.linear.IsIdentity();
      below.mirror = Determinant(below.linear) < 0.0 ? 1 : 0;
    }
    mOut.Put("Transform {\n");
    mOut.Indent(depth + 1), mOut.Put("translation "), mOut.Triple(p.translation[0], p.translation[1], p.translation[2]);
    mOut.Put("\n");
    if (p.angle != 0.0) {
      mOut.Indent(depth + 1), mOut.Put("rotation "), mOut.Triple(p.axis[0], p.axis[1], p.axis[2]);
      mOut.Put(" "), mOut.Number(p.angle), mOut.Put("\n");
    }
    if (p.scale[0] != 1.0 || p.scale[1] != 1.0 || p.scale[2] != 1.0) {
      mOut.Indent(depth + 1), mOut.Put("scale "), mOut.Triple(p.scale[0], p.scale[1], p.scale[2]), mOut.Put("\n");
    }
    Children(bag, below, inherited, depth + 1);
    mOut.Line(depth, "}");
  }

  // The Appearance of a colour, written once and then used again.
  void Appearance(const KIVGraphicAttributeSet& a, int lines, int depth) {
    float rgb[3] = {1.0f, 1.0f, 1.0f};
    const int index = a.GetColorIndex();
    if (index == KIVGraphicAttributeSet::ColorRGBA) {
      for (int k = 0; k < 3; ++k) rgb[k] = a.bytes[4 + k] / 255.0f;
    } else {
      mColours.GetColor(index, rgb);
    }
    float transparency = 0.0f;
    if (a.GetFlag(KIVGraphicAttributeSet::Transparent)) {
      const unsigned char alpha = a.bytes[7];
      transparency = index == KIVGraphicAttributeSet::ColorRGBA && alpha > 0 && alpha < 255 ? 1.0f - alpha / 255.0f : 0.5f;
    }
    char key[96];
    std::snprintf(key, sizeof key, "%d %.4f %.4f %.4f %.4f", lines, rgb[0], rgb[1], rgb[2], transparency);
    mOut.Indent(depth);
    auto found = mAppearances.find(key);
    if (found != mAppearances.end()) {
      mOut.Put("appearance USE " + found->second + "\n");
      return;
    }
    char name[32];  // a plain buffer: GCC 12 warns falsely on "A" + to_string at -O3
    std::snprintf(name, sizeof name, "A%zu", mAppearances.size() + 1);
    mAppearances.emplace(key, name);
    mOut.Put(std::string("appearance DEF ") + name + " Appearance { material Material { diffuseColor ");
    mOut.Triple(rgb[0], rgb[1], rgb[2]);
    if (lines) mOut.Put(" emissiveColor "), mOut.Triple(rgb[0], rgb[1], rgb[2]);
    if (transparency > 0.0f) mOut.Put(" transparency "), mOut.Number(transparency);
    mOut.Put(" } }\n");
  }

  void Points(const std::vector<float>& xyz, const Bake& bake, int depth) {
    mOut.Line(depth, "coord Coordinate { point [");
    for (size_t i = 0; i + 2 < xyz.size(); i += 3) {
      KIVMathPointf p(xyz[i], xyz[i + 1], xyz[i + 2]);
      if (!bake.identity) p = bake.linear.TransformPoint(p);
      mOut.Indent(depth + 1), mOut.Triple(p.x, p.y, p.z), mOut.Put(",\n");
    }
    mOut.Line(depth, "] }");
  }

  void Normals(const std::vector<float>& normals, const Bake& bake, int depth) {
    // Normals go by the inverse transpose of the baked map.
    KIV4x4Matrix inverse;
    if (!bake.identity) inverse = bake.linear.Inverse();
    mOut.Line(depth, "normal Normal { vector [");
    for (size_t i = 0; i + 2 < normals.size(); i += 3) {
      KIVMathVectorf n(normals[i], normals[i + 1], normals[i + 2]);
      if (!bake.identity) {
        const KIVMathVectorf m = n;
        for (int j = 0; j < 3; ++j) n[j] = m.x * inverse.Get(j, 0) + m.y * inverse.Get(j, 1) + m.z * inverse.Get(j, 2);
      }
      n.Normalize();
      mOut.Indent(depth + 1), mOut.Triple(n.x, n.y, n.z), mOut.Put(",\n");
    }
    mOut.Line(depth, "] }");
  }

  void Indices(const std::vector<int>& indices, int perRun, int depth) {
    mOut.Indent(depth), mOut.Put("coordIndex [");
    for (size_t i = 0; i < indices.size(); ++i) {
      if (i % static_cast<size_t>(perRun) == 0) mOut.Put("\n"), mOut.Indent(depth + 1);
      mOut.Put(std::to_string(indices[i])), mOut.Put(" ");
      if ((i + 1) % static_cast<size_t>(perRun) == 0) mOut.Put("-1,");
    }
    mOut.Put("\n"), mOut.Line(depth, "]");
  }

  void Faces(const std::vector<float>& vertices, const std::vector<float>& normals, std::vector<int> triangles,
             const KIVMathDirectionf* planeNormal, const Bake& bake, const KIVGraphicAttributeSet& a, int depth) {
    if (triangles.empty()) return;
    if (bake.mirror)  // a mirror turns the faces over: keep them facing out
      for (size_t i = 0; i + 2 < triangles.size(); i += 3) std::swap(triangles[i + 1], triangles[i + 2]);
    mOut.Line(depth, "Shape {");
    Appearance(a, 0, depth + 1);
    mOut.Line(depth + 1, "geometry IndexedFaceSet {");
    mOut.Line(depth + 2, "solid FALSE");
    Points(vertices, bake, depth + 2);
    if (!normals.empty() && normals.size() == vertices.size()) {
      Normals(normals, bake, depth + 2);
    } else if (planeNormal && !planeNormal->IsNull()) {
      mOut.Line(depth + 2, "normalPerVertex FALSE");
      Normals({planeNormal->x, planeNormal->y, planeNormal->z}, bake, depth + 2);
      mOut.Indent(depth + 2), mOut.Put("normalIndex [");
      for (size_t i = 0; i < triangles.size() / 3; ++i) mOut.Put(" 0");
      mOut.Put(" ]\n");
    }
    Indices(triangles, 3, depth + 2);
    mOut.Line(depth + 1, "}");
    mOut.Line(depth, "}");
  }

  void Lines(const std::vector<float>& vertices, const std::vector<int>& runs, int perRun, const Bake& bake,
             const KIVGraphicAttributeSet& a, int depth) {
    if (runs.empty()) return;
    mOut.Line(depth, "Shape {");
    Appearance(a, 1, depth + 1);
    mOut.Line(depth + 1, "geometry IndexedLineSet {");
    Points(vertices, bake, depth + 2);
    Indices(runs, perRun, depth + 2);
    mOut.Line(depth + 1, "}");
    mOut.Line(depth, "}");
  }

  void Primitive(KIVGraphicPrimitive& gp, const Bake& bake, const KIVGraphicAttributeSet& a, int depth) {
    if (auto* face = dynamic_cast<KIV3DFaceGP*>(&gp)) {
      // Strips alternate their winding; fans turn about their first vertex.
      std::vector<int> triangles = face->GetTriangles();
      const std::vector<int>& strips = face->GetStripIndices();
      size_t at = 0;
      for (int count : face->GetStripCounts()) {
        for (int i = 0; i + 2 < count; ++i) {
          const int* s = strips.data() + at + i;
          if (i % 2 == 0)
            triangles.insert(triangles.end(), {s[0], s[1], s[2]});
          else
            triangles.insert(triangles.end(), {s[1], s[0], s[2]});
        }
        at += static_cast<size_t>(count);
      }
      const std::vector<int>& fans = face->GetFanIndices();
      at = 0;
      for (int count : face->GetFanCounts()) {
        for (int i = 1; i + 1 < count; ++i) triangles.insert(triangles.end(), {fans[at], fans[at + i], fans[at + i + 1]});
        at += static_cast<size_t>(count);
      }
      auto* planar = dynamic_cast<KIV3DPlanarFaceGP*>(face);
      Faces(face->GetVertices(), face->GetNormals(), std::move(triangles), planar ? &planar->GetNormal() : nullptr, bake,
            a, depth);
    } else if (auto* cylinder = dynamic_cast<KIV3DCylinderGP*>(&gp)) {
      std::vector<float> vertices;
      std::vector<int> triangles;
      cylinder->GetPickTriangles(vertices, triangles);
      Faces(vertices, {}, std::move(triangles), nullptr, bake, a, depth);
    } else if (auto* line = dynamic_cast<KIV3DLineGP*>(&gp)) {
      std::vector<int> runs;
      for (int i = 0; i < 2 * line->GetSegmentCount(); ++i) runs.push_back(i);
      Lines(line->GetPoints(), runs, 2, bake, a, depth);
    } else if (auto* polyline = dynamic_cast<KIV3DPolylineGP*>(&gp)) {
      std::vector<int> run;
      for (int i = 0; i < polyline->GetVertexCount(); ++i) run.push_back(i);
      if (polyline->GetSegmentCount() == 0) return;
      if (polyline->IsClosed() && polyline->GetVertexCount() >= 3) run.push_back(0);
      Lines(polyline->GetVertices(), run, static_cast<int>(run.size()), bake, a, depth);
    } else if (auto* edges = dynamic_cast<KIV3DEdgeGP*>(&gp)) {
      Lines(edges->GetVertices(), edges->GetEdges(), 2, bake, a, depth);
    } else if (auto* marker = dynamic_cast<KIV3DMarkerGP*>(&gp)) {
      if (marker->GetPointCount() == 0) return;
      mOut.Line(depth, "Shape {");
      Appearance(a, 1, depth + 1);
      mOut.Line(depth + 1, "geometry PointSet {");
      Points(marker->GetPoints(), bake, depth + 2);
      mOut.Line(depth + 1, "}");
      mOut.Line(depth, "}");
    }
  }

  void Leaf(KIV3DCustomRep& leaf, const Bake& bake, const KIVGraphicAttributeSet& a, int depth) {
    mOut.Put("Group {\n");
    mOut.Line(depth + 1, "children [");
    for (int i = 0; i < leaf.GetGPCount(0); ++i)
      if (KIVGraphicPrimitive* gp = leaf.GetGP(i, 0)) Primitive(*gp, bake, a, depth + 2);
    mOut.Line(depth + 1, "]");
    mOut.Line(depth, "}");
  }

  Output& mOut;
  const KIVColorMap& mColours;
  std::unordered_map<const KIVRep*, int> mReached;
  std::map<std::string, std::string> mDefs;
  std::map<std::string, std::string> mAppearances;
};

int Fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return 0;
}

}  // namespace

std::string KIVWriteVrml::WriteText(KIVRep** reps, int count, const KIVColorMap* colours) {
  const KIVColorMap defaults;
  Output out(nullptr);
  Writer(out, colours ? *colours : defaults).Run(reps, reps && count > 0 ? count : 0);
  return std::move(out.Text());
}

int KIVWriteVrml::WriteFile(KIVRep** reps, int count, const KIVColorMap* colours, const std::string& path,
                            std::string* error) {
  if (path.empty()) return Fail(error, "no file name");
  if (count < 0 || (count > 0 && !reps)) return Fail(error, "no representation to write");
  const std::string temporary = path + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return Fail(error, std::strerror(errno));
  const KIVColorMap defaults;
  Output out(file);
  Writer(out, colours ? *colours : defaults).Run(reps, count);
  out.Flush(true);
  int failed = out.Failed() || std::fflush(file) != 0 || std::ferror(file);
  std::string reason = failed ? std::strerror(errno ? errno : EIO) : "";
  if (std::fclose(file) != 0 && !failed) {
    failed = 1;
    reason = std::strerror(errno);
  }
  if (!failed && std::rename(temporary.c_str(), path.c_str()) != 0) {
    failed = 1;
    reason = std::strerror(errno);
  }
  if (failed) {
    std::remove(temporary.c_str());
    return Fail(error, reason);
  }
  return 1;
}

int KIVWriteVrml::Write(KIVRep** reps, int count, KIVViewer* viewer, const char* path, int notify) {
  std::string error;
  const std::string target = path ? path : "";
  if (WriteFile(reps, count, viewer ? &viewer->GetKIVColormap() : nullptr, target, &error)) return 1;
  if (notify != 1) return 0;
  const std::string message = "Cannot write the VRML file \"" + target + "\": " + error;
  if (!viewer) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 0;
  }
  // The parent dialog owns the notice; it hides when closed.
  KIVDialog* parent = viewer->GetDialogParent() ? viewer->GetDialogParent() : viewer;
  auto* notice = new KIVDlgNotify(parent, NoticeTag);
  notice->SetTitle("Export VRML File");
  notice->SetNotifyType(KIVDlgNotify::NotifyError);
  notice->SetText(KIVUnicodeString(message));
  notice->SetVisibility(KIVDialog::VisibilityShown);
  return 0;
}
