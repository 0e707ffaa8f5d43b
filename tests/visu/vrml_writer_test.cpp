// The VRML97 writer, checked by reading its files back with a small parser: nodes, DEF and
// USE, Transforms applied to the coordinates.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgNotify.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/panels/KIVWriteVrml.h"

namespace {

// ---- A VRML97 reader for what the writer emits -----------------------------------------

struct Node;
using NodePtr = std::shared_ptr<Node>;
struct Value {
  std::vector<double> numbers;
  std::vector<NodePtr> nodes;
  std::vector<std::string> words;
};
struct Node {
  std::string type;
  std::map<std::string, Value> fields;
};

class Reader {
 public:
  explicit Reader(const std::string& text) { Tokenize(text); }
  std::vector<NodePtr> Roots() {
    std::vector<NodePtr> roots;
    while (mAt < mTokens.size()) roots.push_back(ParseNode());
    return roots;
  }
  int uses = 0, defs = 0;
  std::string error;

 private:
  void Tokenize(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
      const char c = s[i];
      if (c == '#') {
        while (i < s.size() && s[i] != '\n') ++i;
      } else if (std::isspace(static_cast<unsigned char>(c)) || c == ',') {
        ++i;
      } else if (c == '{' || c == '}' || c == '[' || c == ']') {
        mTokens.emplace_back(1, c), ++i;
      } else {
        size_t j = i;
        while (j < s.size() && !std::isspace(static_cast<unsigned char>(s[j])) && std::string("{}[],#").find(s[j]) == std::string::npos)
          ++j;
        mTokens.push_back(s.substr(i, j - i));
        i = j;
      }
    }
  }
  static bool IsNumber(const std::string& t) {
    return !t.empty() && (std::isdigit(static_cast<unsigned char>(t[0])) || t[0] == '-' || t[0] == '+' || t[0] == '.');
  }
  const std::string& Peek(size_t ahead = 0) const {
    static const std::string end;
    return mAt + ahead < mTokens.size() ? mTokens[mAt + ahead] : end;
  }
  std::string Next() { return mAt < mTokens.size() ? mTokens[mAt++] : std::string(); }
  void Expect(const std::string& t) {
    if (Next() != t && error.empty()) error = "expected " + t + " before token " + std::to_string(mAt);
  }
  bool NodeAhead() const { return Peek() == "DEF" || Peek() == "USE" || Peek(1) == "{"; }
  NodePtr ParseNode() {
    if (Peek() == "DEF") {
      Next();
      const std::string name = Next();
      NodePtr node = ParseNode();
      mDefs[name] = node;
      ++defs;
      return node;
    }
    if (Peek() == "USE") {
      Next();
      const std::string name = Next();
      ++uses;
      if (!mDefs.count(name) && error.empty()) error = "USE of undefined " + name;
      return mDefs.count(name) ? mDefs[name] : std::make_shared<Node>();
    }
    auto node = std::make_shared<Node>();
    node->type = Next();
    Expect("{");
    while (mAt < mTokens.size() && Peek() != "}") {
      const std::string field = Next();
      node->fields[field] = ParseValue();
    }
    Expect("}");
    return node;
  }
  Value ParseValue() {
    Value v;
    if (Peek() == "[") {
      Next();
      while (mAt < mTokens.size() && Peek() != "]") {
        if (IsNumber(Peek()))
          v.numbers.push_back(std::stod(Next()));
        else if (NodeAhead())
          v.nodes.push_back(ParseNode());
        else
          v.words.push_back(Next());
      }
      Expect("]");
    } else if (IsNumber(Peek())) {
      while (IsNumber(Peek())) v.numbers.push_back(std::stod(Next()));
    } else if (NodeAhead()) {
      v.nodes.push_back(ParseNode());
    } else {
      v.words.push_back(Next());
    }
    return v;
  }
  std::vector<std::string> mTokens;
  size_t mAt = 0;
  std::map<std::string, NodePtr> mDefs;
};

// Column-vector 4 × 4 matrices, as VRML states its Transform.
struct M4 {
  double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  M4 operator*(const M4& b) const {
    M4 r;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) {
        r.m[i][j] = 0;
        for (int k = 0; k < 4; ++k) r.m[i][j] += m[i][k] * b.m[k][j];
      }
    return r;
  }
  KIVMathPointf Apply(double x, double y, double z) const {
    const double p[3] = {x, y, z};
    double q[3];
    for (int i = 0; i < 3; ++i) q[i] = m[i][0] * p[0] + m[i][1] * p[1] + m[i][2] * p[2] + m[i][3];
    return {static_cast<float>(q[0]), static_cast<float>(q[1]), static_cast<float>(q[2])};
  }
};

M4 TransformOf(const Node& n) {
  M4 t, r, s;
  if (n.fields.count("translation"))
    for (int i = 0; i < 3; ++i) t.m[i][3] = n.fields.at("translation").numbers.at(i);
  if (n.fields.count("rotation")) {
    const auto& v = n.fields.at("rotation").numbers;
    double ax[3] = {v.at(0), v.at(1), v.at(2)};
    const double len = std::sqrt(ax[0] * ax[0] + ax[1] * ax[1] + ax[2] * ax[2]);
    for (double& a : ax) a /= len;
    const double c = std::cos(v.at(3)), sn = std::sin(v.at(3)), k = 1 - c;
    const double x = ax[0], y = ax[1], z = ax[2];
    const double rot[3][3] = {{c + x * x * k, x * y * k - z * sn, x * z * k + y * sn},
                              {y * x * k + z * sn, c + y * y * k, y * z * k - x * sn},
                              {z * x * k - y * sn, z * y * k + x * sn, c + z * z * k}};
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) r.m[i][j] = rot[i][j];
  }
  if (n.fields.count("scale"))
    for (int i = 0; i < 3; ++i) s.m[i][i] = n.fields.at("scale").numbers.at(i);
  EXPECT_FALSE(n.fields.count("center") || n.fields.count("scaleOrientation"));
  return t * r * s;
}

struct Triangle {
  KIVMathPointf p[3];
  KIVMathVectorf normal;  // the written one, when there is one
  std::vector<double> colour;
};
struct Scene {
  std::vector<Triangle> triangles;
  int segments = 0, points = 0;
  std::vector<std::vector<double>> lineColours;
};

std::vector<double> Diffuse(const Node& shape) {
  const Node& appearance = *shape.fields.at("appearance").nodes.at(0);
  return appearance.fields.at("material").nodes.at(0)->fields.at("diffuseColor").numbers;
}

void Walk(const Node& n, const M4& m, Scene& scene) {
  M4 here = m;
  if (n.type == "Transform") here = m * TransformOf(n);
  if (n.fields.count("children"))
    for (const NodePtr& child : n.fields.at("children").nodes) Walk(*child, here, scene);
  if (n.type != "Shape") return;
  const Node& geometry = *n.fields.at("geometry").nodes.at(0);
  const std::vector<double>& xyz = geometry.fields.at("coord").nodes.at(0)->fields.at("point").numbers;
  auto point = [&](int i) { return here.Apply(xyz.at(3 * i), xyz.at(3 * i + 1), xyz.at(3 * i + 2)); };
  if (geometry.type == "PointSet") {
    scene.points += static_cast<int>(xyz.size() / 3);
    return;
  }
  std::vector<std::vector<int>> runs(1);
  for (double i : geometry.fields.at("coordIndex").numbers) {
    if (i < 0)
      runs.emplace_back();
    else
      runs.back().push_back(static_cast<int>(i));
  }
  if (geometry.type == "IndexedLineSet") {
    for (const auto& run : runs)
      if (run.size() >= 2) scene.segments += static_cast<int>(run.size()) - 1;
    scene.lineColours.push_back(Diffuse(n));
    return;
  }
  ASSERT_EQ(geometry.type, "IndexedFaceSet");
  const std::vector<double>* normals =
      geometry.fields.count("normal") ? &geometry.fields.at("normal").nodes.at(0)->fields.at("vector").numbers : nullptr;
  for (const auto& run : runs)
    for (size_t k = 2; k < run.size(); ++k) {
      Triangle t;
      t.p[0] = point(run[0]), t.p[1] = point(run[k - 1]), t.p[2] = point(run[k]);
      if (normals && normals->size() >= static_cast<size_t>(3 * run[0] + 3)) {
        // Per vertex (normalIndex empty): carried by the linear part only.
        const KIVMathPointf o = here.Apply(0, 0, 0);
        const KIVMathPointf e = here.Apply(normals->at(3 * run[0]), normals->at(3 * run[0] + 1), normals->at(3 * run[0] + 2));
        t.normal = e - o;
      }
      t.colour = Diffuse(n);
      scene.triangles.push_back(t);
    }
}

Scene Read(const std::string& text, Reader*& keep) {
  static std::unique_ptr<Reader> reader;
  reader = std::make_unique<Reader>(text);
  keep = reader.get();
  Scene scene;
  for (const NodePtr& root : reader->Roots()) Walk(*root, M4(), scene);
  return scene;
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// ---- The scene -------------------------------------------------------------------------

KIV3DCustomRep* SharedLeaf() {
  // One separate triangle and a strip of two, in the xy plane.
  const float v[] = {0, 0, 0, 10, 0, 0, 0, 10, 0, 20, 0, 0, 20, 10, 0, 30, 0, 0, 30, 10, 0};
  const int t[] = {0, 1, 2};
  auto* face = new KIV3DFaceGP(v, 21, nullptr, t, 1);
  const int strip[] = {3, 4, 5, 6};
  face->AddStrip(strip, 4);
  auto* leaf = new KIV3DCustomRep;
  leaf->AddGP(face);
  leaf->SetRGBA(255, 0, 0, 255);
  return leaf;
}

KIV4x4Matrix Rows(const KIVMathVectorf& d1, const KIVMathVectorf& d2, const KIVMathVectorf& d3, const KIVMathPointf& o) {
  return KIV4x4Matrix(d1, d2, d3, o);
}

struct Fixture {
  KIV3DBagRep* root = new KIV3DBagRep;
  KIV3DCustomRep* shared = SharedLeaf();
  KIV3DCustomRep* normalLeaf = nullptr;
  // Expected world triangles: the shared leaf's (in its frame) under each placement.
  std::vector<KIV4x4Matrix> sharedPlacements;
  KIV4x4Matrix mirrorPlacement;

  Fixture() {
    const float s = 0.001f;  // the library's unit / 1000
    const KIV4x4Matrix scale = Rows({s, 0, 0}, {0, s, 0}, {0, 0, s}, {0, 0, 0});
    root->SetMatrix(scale);

    auto* a = new KIV3DBagRep;  // turned a quarter about z, then moved
    a->SetMatrix(Rows({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {100, 0, 0}));
    a->AddChild(shared);
    root->AddChild(a);
    sharedPlacements.push_back(*a->GetMatrix() * scale);

    auto* b = new KIV3DBagRep;  // moved and stretched along x
    b->SetMatrix(Rows({2, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 200, 0}));
    b->AddChild(shared);
    auto* line = new KIV3DCustomRep;
    const float segment[] = {0, 0, 0, 0, 0, 5};
    line->AddGP(new KIV3DLineGP(segment, 6));
    KIVGraphicAttributeSet look;
    look.SetColorIndex(1);
    line->SetGraphicAttributeSet(look);
    b->AddChild(line);
    auto* hidden = SharedLeaf();
    hidden->SetShowMode(1, 0);
    b->AddChild(hidden);
    root->AddChild(b);
    sharedPlacements.push_back(*b->GetMatrix() * scale);

    auto* c = new KIV3DBagRep;  // a shear: baked into the vertices
    c->SetMatrix(Rows({1, 0, 0}, {0.5f, 1, 0}, {0, 0, 1}, {0, 0, 50}));
    c->AddChild(shared);
    auto* marker = new KIV3DCustomRep;
    const float dots[] = {1, 1, 1, 2, 2, 2};
    marker->AddGP(new KIV3DMarkerGP(dots, 6));
    c->AddChild(marker);
    root->AddChild(c);
    sharedPlacements.push_back(*c->GetMatrix() * scale);

    auto* d = new KIV3DBagRep;  // a mirror: baked, faces turned back out
    d->SetMatrix(Rows({-1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -30}));
    const float v[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const float n[] = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    const int t[] = {0, 1, 2};
    normalLeaf = new KIV3DCustomRep;
    normalLeaf->AddGP(new KIV3DFaceGP(v, 9, n, t, 1));
    d->AddChild(normalLeaf);
    root->AddChild(d);
    mirrorPlacement = *d->GetMatrix() * scale;
  }
  ~Fixture() { root->Destroy(); }
};

bool Near(const KIVMathPointf& a, const KIVMathPointf& b) { return a.DistanceTo(b) < 1e-5f; }

// Whether the scene holds a triangle with these corners (in any rotation of their order).
const Triangle* Find(const Scene& scene, const KIVMathPointf* p) {
  for (const Triangle& t : scene.triangles)
    for (int r = 0; r < 3; ++r)
      if (Near(t.p[r], p[0]) && Near(t.p[(r + 1) % 3], p[1]) && Near(t.p[(r + 2) % 3], p[2])) return &t;
  return nullptr;
}

TEST(VrmlWriter, RoundTripKeepsEveryTriangleWhereTheTreePutsIt) {
  Fixture f;
  KIVColorMap colours;
  colours.SetColor(1, 0.25f, 0.5f, 0.75f);
  KIVRep* roots[] = {f.root};
  const std::string text = KIVWriteVrml::WriteText(roots, 1, &colours);
  ASSERT_EQ(text.rfind("#VRML V2.0 utf8\n", 0), 0u);
  Reader* reader = nullptr;
  const Scene scene = Read(text, reader);
  ASSERT_TRUE(reader->error.empty()) << reader->error;
  // The shared leaf: one DEF and one USE where its context is the same, its own DEF under
  // the baked shear; the hidden leaf is not there.
  size_t leafDefs = 0, leafUses = 0;
  for (size_t at = text.find("DEF R"); at != std::string::npos; at = text.find("DEF R", at + 1)) ++leafDefs;
  for (size_t at = text.find("USE R"); at != std::string::npos; at = text.find("USE R", at + 1)) ++leafUses;
  EXPECT_EQ(leafDefs, 2u);
  EXPECT_EQ(leafUses, 1u);

  ASSERT_EQ(scene.triangles.size(), 3u * 3 + 1);
  const float v[] = {0, 0, 0, 10, 0, 0, 0, 10, 0, 20, 0, 0, 20, 10, 0, 30, 0, 0, 30, 10, 0};
  const int corners[3][3] = {{0, 1, 2}, {3, 4, 5}, {5, 4, 6}};  // the strip's second turns back
  for (const KIV4x4Matrix& placement : f.sharedPlacements)
    for (const auto& c : corners) {
      KIVMathPointf p[3];
      for (int k = 0; k < 3; ++k) p[k] = placement.TransformPoint(KIVMathPointf(v + 3 * c[k]));
      const Triangle* found = Find(scene, p);
      ASSERT_TRUE(found) << "triangle at " << p[0].x << " " << p[0].y << " " << p[0].z;
      EXPECT_EQ(found->colour, (std::vector<double>{1, 0, 0}));
    }

  // The mirrored triangle: where the matrix puts it, still facing its normal.
  KIVMathPointf m[3] = {f.mirrorPlacement.TransformPoint({0, 0, 0}), f.mirrorPlacement.TransformPoint({1, 0, 0}),
                        f.mirrorPlacement.TransformPoint({0, 1, 0})};
  const Triangle* mirrored = nullptr;
  for (const Triangle& t : scene.triangles)
    for (int r = 0; r < 3 && !mirrored; ++r)
      for (int flip = 0; flip < 2 && !mirrored; ++flip) {
        const KIVMathPointf* q = t.p;
        if (Near(q[r], m[0]) && Near(q[(r + (flip ? 2 : 1)) % 3], m[1]) && Near(q[(r + (flip ? 1 : 2)) % 3], m[2]))
          mirrored = &t;
      }
  ASSERT_TRUE(mirrored);
  const KIVMathVectorf facing = (mirrored->p[1] - mirrored->p[0]) ^ (mirrored->p[2] - mirrored->p[0]);
  EXPECT_GT(facing * mirrored->normal, 0.0f);
  EXPECT_GT(mirrored->normal.z, 0.0f);

  EXPECT_EQ(scene.segments, 1);
  ASSERT_EQ(scene.lineColours.size(), 1u);
  EXPECT_EQ(scene.lineColours[0], (std::vector<double>{0.25, 0.5, 0.75}));  // through the colour map
  EXPECT_EQ(scene.points, 2);
}

TEST(VrmlWriter, ColourInheritanceTransparencyAndEmptyInput) {
  auto* bag = new KIV3DBagRep;
  KIVGraphicAttributeSet look;
  look.SetRGBA(0, 255, 0, 64);
  look.SetFlag(KIVGraphicAttributeSet::Transparent, 1);
  bag->SetGraphicAttributeSet(look);
  bag->SetColorInheritanceMode(1);
  auto* leaf = SharedLeaf();
  bag->AddChild(leaf);
  KIVRep* roots[] = {nullptr, bag};
  const std::string text = KIVWriteVrml::WriteText(roots, 2, nullptr);
  EXPECT_NE(text.find("diffuseColor 0 1 0"), std::string::npos) << text;
  EXPECT_NE(text.find("transparency 0.749"), std::string::npos);
  EXPECT_EQ(text.find("DEF R"), std::string::npos);  // nothing shared
  bag->Destroy();

  EXPECT_EQ(KIVWriteVrml::WriteText(nullptr, 3, nullptr), "#VRML V2.0 utf8\n# Written by navtools\n\n");
  std::string error;
  EXPECT_EQ(KIVWriteVrml::WriteFile(nullptr, 1, nullptr, "/tmp/x.wrl", &error), 0);
  EXPECT_EQ(error, "no representation to write");
  EXPECT_EQ(KIVWriteVrml::WriteFile(roots, 1, nullptr, "", &error), 0);
  EXPECT_EQ(error, "no file name");
}

TEST(VrmlWriter, WritesThroughATemporaryAndReportsAFailure) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("vrml_writer_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  KIVDlgDialog window(nullptr, "Host");
  auto* viewer = new KIV3DViewer(&window, "Viewer", 0, 100, 100);
  viewer->SetColor(1, 0.25f, 0.5f, 0.75f);
  Fixture f;
  KIVRep* roots[] = {f.root};

  const std::filesystem::path good = dir / "scene.wrl";
  ASSERT_EQ(KIVWriteVrml::Write(roots, 1, viewer, good.c_str(), 1), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "scene.wrl.tmp"));
  Reader* reader = nullptr;
  const Scene scene = Read(Slurp(good), reader);
  EXPECT_TRUE(reader->error.empty());
  EXPECT_EQ(scene.triangles.size(), 10u);
  ASSERT_EQ(scene.lineColours.size(), 1u);
  EXPECT_EQ(scene.lineColours[0], (std::vector<double>{0.25, 0.5, 0.75}));  // the viewer's map
  EXPECT_EQ(window.LookupChild(KIVWriteVrml::NoticeTag), nullptr);

  // An unwritable place: 0, no file, a notice naming the file and the reason.
  const std::filesystem::path bad = dir / "missing" / "scene.wrl";
  EXPECT_EQ(KIVWriteVrml::Write(roots, 1, viewer, bad.c_str(), 1), 0);
  EXPECT_FALSE(std::filesystem::exists(bad));
  EXPECT_FALSE(std::filesystem::exists(dir / "missing" / "scene.wrl.tmp"));
  auto* notice = dynamic_cast<KIVDlgNotify*>(window.LookupChild(KIVWriteVrml::NoticeTag, 0));
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->GetNotifyType(), KIVDlgNotify::NotifyError);
  EXPECT_EQ(notice->GetVisibility(), KIVDialog::VisibilityShown);
  const std::string message = notice->GetText().GetUtf8();
  EXPECT_NE(message.find(bad.string()), std::string::npos) << message;
  EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
  EXPECT_EQ(message.find('\n'), std::string::npos);

  // A directory in the way of the rename: the old target stays, no temporary is left.
  std::filesystem::create_directories(dir / "taken.wrl" / "inside");
  EXPECT_EQ(KIVWriteVrml::Write(roots, 1, viewer, (dir / "taken.wrl").c_str(), 0), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.wrl"));
  EXPECT_FALSE(std::filesystem::exists(dir / "taken.wrl.tmp"));
  // Without notify, or without a viewer, no window.
  EXPECT_EQ(window.GetDialogChildren().size(), 2u);
  EXPECT_EQ(KIVWriteVrml::Write(roots, 1, nullptr, nullptr, 1), 0);
  std::filesystem::remove_all(dir);
}

}  // namespace
