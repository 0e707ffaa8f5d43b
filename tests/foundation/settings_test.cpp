#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "navtools.h"

namespace {

template <class T>
std::vector<unsigned char> Bytes(const T& record) {
  KIVGPWMessage msg;
  record.writeMessage(&msg);
  return {msg.GetData(), msg.GetData() + msg.GetSize()};
}

template <class T>
int ReadFrom(T& record, const std::vector<unsigned char>& bytes, size_t size) {
  KIVGPWMessage msg(bytes.data(), size);
  return record.readMessage(&msg);
}

int IntAt(const std::vector<unsigned char>& b, size_t word) {
  int v;
  std::memcpy(&v, b.data() + 4 * word, 4);  // host is little-endian like the message
  return v;
}
float FloatAt(const std::vector<unsigned char>& b, size_t word) {
  float v;
  std::memcpy(&v, b.data() + 4 * word, 4);
  return v;
}

// Depth of the chain viewer -> palette -> secondary viewer -> viewer ...
int Nesting(const NavViewerSetting& s) {
  int depth = 1;
  for (const NavViewerSetting* v = &s; v->palette && v->palette->secondaryViewer; v = &v->palette->secondaryViewer->viewer)
    ++depth;
  return depth;
}

// A viewer setting with every field given distinct values, and a palette whose secondary
// viewer has a viewer setting with a palette of its own.
NavViewerSetting FullViewer() {
  NavViewerSetting s;
  s.sectionMask = 255;
  s.referenceView.backgroundRed = 0.1f;
  s.referenceView.backgroundGreen = 0.2f;
  s.referenceView.backgroundBlue = 0.3f;
  s.referenceView.collisionDistance = 4.5f;
  s.referenceView.referencePlane = 2 | 16;
  s.referenceView.gravity = 2;
  s.referenceView.collisionCheck = 1;
  s.qualitySpeed.modeBits = 137;
  s.qualitySpeed.staticSag = 0.5f;
  s.qualitySpeed.dynamicSag = 2.5f;
  s.qualitySpeed.staticPixelCulling = 1.0f;
  s.qualitySpeed.dynamicPixelCulling = 3.0f;
  s.distance.color = 246;
  s.distance.showText = 1;
  s.distance.width = 0.01f;
  s.dashboardState = 11;
  s.perfoState = 12;
  s.axisState = 13;
  s.groundState = 14;
  s.fog = 1;
  s.clippingMode = 16;
  s.navigationStyle = 17;
  s.clippingNear = 0.25f;
  s.clippingFar = 900.0f;
  s.lights.lightCount = 2;
  s.lights.firstDirection[0] = 0.0f;
  s.lights.firstDirection[1] = 0.6f;
  s.lights.firstDirection[2] = 0.8f;
  s.lights.secondDirection[1] = -1.0f;
  s.ambientLight = 0.75f;
  s.stereoMode = 3;
  s.stereoValue = 6.5f;
  static KIVGraphicMaterial material;
  s.texture = &material;

  NavSimpleViewer3DSetting sv;
  sv.sizeRatio = 0.3f;
  sv.dispatch = 1;
  sv.targetFixed = 0;
  sv.logicalView = 301;
  sv.label = 1;
  sv.viewer.sectionMask = 64 | 4;
  sv.viewer.referenceView.gravity = 2;
  sv.viewer.palette = new NavPaletteViewerSetting;
  sv.viewer.palette->rotationStep = 45.0f;

  s.palette = new NavPaletteViewerSetting;
  s.palette->translationStep = 1.0f;
  s.palette->rotationStep = 30.0f;
  s.palette->interactiveState = 2;
  s.palette->standardViewState = 1;
  s.palette->targetFixedState = 0;
  s.palette->secondaryViewer = new NavSimpleViewer3DSetting(sv);
  return s;
}

TEST(SettingsTest, MessageSizesMatchTheBytesWritten) {
  NavViewerSetting viewer;
  EXPECT_EQ(viewer.getMessageSize(), 144);
  EXPECT_EQ(Bytes(viewer).size(), 144u);
  viewer.palette = new NavPaletteViewerSetting;
  EXPECT_EQ(viewer.getMessageSize(), 168);
  EXPECT_EQ(Bytes(viewer).size(), 168u);

  const NavViewerSetting full = FullViewer();
  EXPECT_EQ(full.getMessageSize(), 144 + 24 + 20 + 144 + 24);
  EXPECT_EQ(Bytes(full).size(), static_cast<size_t>(full.getMessageSize()));

  NavGraphicRepTreeSetting tree;
  EXPECT_EQ(tree.getMessageSize(), 28);
  tree.analysisViewer = new NavSimpleViewer3DSetting;
  EXPECT_EQ(tree.getMessageSize(), 28 + 164);
  EXPECT_EQ(Bytes(tree).size(), 192u);

  NavListGenericSetting list;
  list.filterText = "h\xC3\xA9*";  // three characters in four bytes: sizes count bytes
  EXPECT_EQ(Bytes(list).size(), static_cast<size_t>(list.getMessageSize()));
  EXPECT_EQ(list.getMessageSize(), 20 + 4 + 1);  // the text, then its terminating NUL
  EXPECT_EQ(Bytes(list).back(), 0);
  EXPECT_EQ(NavListGenericSetting().getMessageSize(), 21);
  // A NUL inside the text ends it: the size still counts what is written.
  list.filterText = KIVUnicodeString(std::string_view("ab\0cd", 5));
  EXPECT_EQ(list.getMessageSize(), 20 + 2 + 1);
  EXPECT_EQ(Bytes(list).size(), static_cast<size_t>(list.getMessageSize()));

  EXPECT_EQ(Bytes(NavDistanceSetting()).size(), 12u);
  EXPECT_EQ(Bytes(NavQualitySpeedSetting()).size(), 20u);
  EXPECT_EQ(Bytes(NavReferenceViewSetting()).size(), 28u);
  EXPECT_EQ(Bytes(NavViewpointAnimation()).size(), 16u);
  EXPECT_EQ(Bytes(NavLightSourceSet()).size(), 28u);
  EXPECT_EQ(Bytes(NavSimpleGraphSetting()).size(), 16u);
  EXPECT_EQ(NavSimpleViewer3DSetting().getMessageSize(), 164);
}

TEST(SettingsTest, ViewerWritesInTheLayoutOrder) {
  const NavViewerSetting s = FullViewer();
  const std::vector<unsigned char> b = Bytes(s);
  const int ints[] = {255, 3, 11, 12, 13, 14, 1, 16, 17};
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(IntAt(b, i), ints[i]) << "word " << i;
  EXPECT_EQ(FloatAt(b, 9), 0.25f);
  EXPECT_EQ(FloatAt(b, 10), 900.0f);
  EXPECT_EQ(FloatAt(b, 11), 0.75f);
  EXPECT_EQ(FloatAt(b, 12), 6.5f);
  EXPECT_EQ(IntAt(b, 13), 2);            // lights: count, then directions
  EXPECT_EQ(FloatAt(b, 18), -1.0f);      // second direction y
  EXPECT_EQ(FloatAt(b, 20), 0.1f);       // reference view: red first
  EXPECT_EQ(FloatAt(b, 23), 4.5f);       // collision distance
  EXPECT_EQ(IntAt(b, 24), 18);           // reference plane
  EXPECT_EQ(FloatAt(b, 27), 0.5f);       // quality: static sag first
  EXPECT_EQ(FloatAt(b, 30), 3.0f);       // dynamic pixel culling
  EXPECT_EQ(FloatAt(b, 31), 137.0f);     // mode bits, as a float
  EXPECT_EQ(FloatAt(b, 32), 0.01f);      // distance: width first
  EXPECT_EQ(IntAt(b, 33), 246);
  EXPECT_EQ(IntAt(b, 34), 1);
  EXPECT_EQ(IntAt(b, 35), 1);            // palette flag
  EXPECT_EQ(FloatAt(b, 36), 1.0f);       // palette: translation, rotation, three ints
  EXPECT_EQ(FloatAt(b, 37), 30.0f);
  EXPECT_EQ(IntAt(b, 38), 2);
  EXPECT_EQ(IntAt(b, 40), 0);
  EXPECT_EQ(IntAt(b, 41), 1);            // secondary viewer flag
  EXPECT_EQ(FloatAt(b, 42), 0.3f);       // secondary viewer: ratio, four ints, viewer
  EXPECT_EQ(IntAt(b, 45), 301);
  EXPECT_EQ(IntAt(b, 47), 68);           // nested viewer's section mask

  NavGraphicRepTreeSetting tree;
  tree.graph.layoutStyle = 8;
  tree.clearance = 2.0f;
  tree.rootType = 3;
  const std::vector<unsigned char> t = Bytes(tree);
  EXPECT_EQ(IntAt(t, 0), 8);  // graph first
  EXPECT_EQ(FloatAt(t, 4), 2.0f);
  EXPECT_EQ(IntAt(t, 5), 3);
  EXPECT_EQ(IntAt(t, 6), 0);
}

TEST(SettingsTest, ModeBitsTravelAsAFloatAndCorruptOnesAreRefused) {
  NavQualitySpeedSetting q;
  q.modeBits = 137;
  NavQualitySpeedSetting back;
  ASSERT_EQ(ReadFrom(back, Bytes(q), 20), 1);
  EXPECT_EQ(back.modeBits, 137);

  for (float corrupt : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 3.0e9f,
                        -3.0e9f}) {
    KIVGPWMessage msg;
    for (int i = 0; i < 4; ++i) msg.writeFloat(1.0f);
    msg.writeFloat(corrupt);
    NavQualitySpeedSetting r;
    r.modeBits = 5;
    EXPECT_EQ(r.readMessage(&msg), 0) << corrupt;
    EXPECT_EQ(r.modeBits, 5);
    EXPECT_EQ(r.dynamicPixelCulling, 1.0f);
  }
  KIVGPWMessage msg;  // truncation toward zero
  for (int i = 0; i < 4; ++i) msg.writeFloat(1.0f);
  msg.writeFloat(-2.9f);
  ASSERT_EQ(back.readMessage(&msg), 1);
  EXPECT_EQ(back.modeBits, -2);
}

TEST(SettingsTest, PresenceFlagsCreateReuseOrKeepPointedRecords) {
  // Flag 0 keeps the palette we already own.
  NavViewerSetting target;
  target.palette = new NavPaletteViewerSetting;
  target.palette->rotationStep = 12.0f;
  NavViewerSetting plain;
  plain.fog = 1;
  ASSERT_EQ(ReadFrom(target, Bytes(plain), 144), 1);
  ASSERT_NE(target.palette, nullptr);
  EXPECT_EQ(target.palette->rotationStep, 12.0f);
  EXPECT_EQ(target.fog, 1);

  // Flag 1 reads into the existing palette rather than replacing it.
  NavPaletteViewerSetting* const kept = target.palette;
  const NavViewerSetting full = FullViewer();
  ASSERT_EQ(ReadFrom(target, Bytes(full), Bytes(full).size()), 1);
  EXPECT_EQ(target.palette, kept);
  EXPECT_EQ(target.palette->rotationStep, 30.0f);
  ASSERT_NE(target.palette->secondaryViewer, nullptr);

  // Any flag but 1 creates nothing.
  std::vector<unsigned char> b = Bytes(plain);
  const int two = 2;
  std::memcpy(b.data() + 140, &two, 4);
  NavViewerSetting fresh;
  EXPECT_EQ(ReadFrom(fresh, b, b.size()), 1);
  EXPECT_EQ(fresh.palette, nullptr);

  // Same rules for the tree browser's analysis viewer.
  NavGraphicRepTreeSetting tree;
  tree.analysisViewer = new NavSimpleViewer3DSetting;
  tree.analysisViewer->label = 1;
  ASSERT_EQ(ReadFrom(tree, Bytes(NavGraphicRepTreeSetting()), 28), 1);
  ASSERT_NE(tree.analysisViewer, nullptr);
  EXPECT_EQ(tree.analysisViewer->label, 1);
}

TEST(SettingsTest, AssignmentCopiesDefinedValuesAndPointedRecords) {
  NavDistanceSetting d;
  d.color = 245;
  d.showText = 0;
  d.width = 0.5f;
  NavDistanceSetting partial;
  partial.showText = 1;
  d = partial;
  EXPECT_EQ(d.color, 245);
  EXPECT_EQ(d.showText, 1);
  EXPECT_EQ(d.width, 0.5f);
  const NavDistanceSetting copied(partial);  // construction copies everything
  EXPECT_EQ(copied.color, -1);

  NavGraphicRepTreeSetting tree;
  tree.clearance = 3.0f;
  tree.rootType = 2;
  tree.graph.widthMargin = 7;
  NavGraphicRepTreeSetting treeSource;
  treeSource.rootType = 5;
  tree = treeSource;
  EXPECT_EQ(tree.clearance, 3.0f);
  EXPECT_EQ(tree.rootType, 5);
  EXPECT_EQ(tree.graph.widthMargin, -1);  // the graph part is copied as a whole
  treeSource.analysisViewer = new NavSimpleViewer3DSetting;
  treeSource.analysisViewer->logicalView = 302;
  tree = treeSource;
  ASSERT_NE(tree.analysisViewer, nullptr);
  EXPECT_NE(tree.analysisViewer, treeSource.analysisViewer);
  EXPECT_EQ(tree.analysisViewer->logicalView, 302);
  NavSimpleViewer3DSetting* const ownViewer = tree.analysisViewer;
  treeSource.analysisViewer->logicalView = 303;
  tree = treeSource;
  EXPECT_EQ(tree.analysisViewer, ownViewer);  // assigned in place
  EXPECT_EQ(tree.analysisViewer->logicalView, 303);

  // Other records copy every field, undefined ones included.
  NavViewerSetting v;
  v.fog = 1;
  v.palette = new NavPaletteViewerSetting;
  v.palette->interactiveState = 1;
  NavPaletteViewerSetting* const own = v.palette;
  NavViewerSetting source = FullViewer();
  source.fog = -1;
  v = source;
  EXPECT_EQ(v.fog, -1);
  EXPECT_EQ(v.palette, own);  // assigned in place
  EXPECT_EQ(v.palette->interactiveState, 2);
  EXPECT_EQ(Bytes(v), Bytes(source));
  v = NavViewerSetting();  // a source without palette leaves ours
  EXPECT_EQ(v.palette, own);
  EXPECT_EQ(v.sectionMask, -1);

  // Assigning from a record that lives inside the target's own tree.
  NavViewerSetting outer = FullViewer();
  outer = outer.palette->secondaryViewer->viewer;
  EXPECT_EQ(outer.sectionMask, 68);
  EXPECT_EQ(outer.palette->rotationStep, 45.0f);
  const NavViewerSetting& same = outer;  // self-assignment, through a reference
  outer = same;
  EXPECT_EQ(outer.sectionMask, 68);
}

TEST(SettingsTest, CopiesAreDeep) {
  const NavViewerSetting source = FullViewer();
  NavViewerSetting copy(source);
  EXPECT_EQ(Bytes(copy), Bytes(source));
  EXPECT_NE(source.texture, nullptr);
  EXPECT_EQ(copy.texture, source.texture);  // shared, not owned
  ASSERT_NE(copy.palette, source.palette);
  ASSERT_NE(copy.palette->secondaryViewer, source.palette->secondaryViewer);
  copy.palette->rotationStep = 90.0f;
  copy.palette->secondaryViewer->viewer.palette->rotationStep = 1.0f;
  EXPECT_EQ(source.palette->rotationStep, 30.0f);
  EXPECT_EQ(source.palette->secondaryViewer->viewer.palette->rotationStep, 45.0f);

  NavViewerSetting assigned;
  assigned = source;
  ASSERT_NE(assigned.palette, source.palette);
  assigned.palette->translationStep = 9.0f;
  EXPECT_EQ(source.palette->translationStep, 1.0f);

  NavGraphicRepTreeSetting tree;
  tree.analysisViewer = new NavSimpleViewer3DSetting;
  tree.analysisViewer->viewer.palette = new NavPaletteViewerSetting;
  NavGraphicRepTreeSetting treeCopy(tree);
  ASSERT_NE(treeCopy.analysisViewer, tree.analysisViewer);
  EXPECT_NE(treeCopy.analysisViewer->viewer.palette, tree.analysisViewer->viewer.palette);
  EXPECT_EQ(Bytes(treeCopy), Bytes(tree));
}

TEST(SettingsTest, FullRoundTrips) {
  const NavViewerSetting source = FullViewer();
  const std::vector<unsigned char> bytes = Bytes(source);
  NavViewerSetting back;
  ASSERT_EQ(ReadFrom(back, bytes, bytes.size()), 1);
  EXPECT_EQ(back.texture, nullptr);  // never travels
  EXPECT_EQ(Bytes(back), bytes);
  EXPECT_EQ(back.qualitySpeed.modeBits, 137);
  EXPECT_EQ(back.referenceView.referencePlane, 18);
  EXPECT_EQ(back.lights.secondDirection[1], -1.0f);
  EXPECT_EQ(back.distance.color, 246);
  EXPECT_EQ(back.stereoValue, 6.5f);
  ASSERT_EQ(Nesting(back), 2);
  const NavSimpleViewer3DSetting& sv = *back.palette->secondaryViewer;
  EXPECT_EQ(sv.logicalView, 301);
  EXPECT_EQ(sv.viewer.referenceView.gravity, 2);
  ASSERT_NE(sv.viewer.palette, nullptr);
  EXPECT_EQ(sv.viewer.palette->rotationStep, 45.0f);
  EXPECT_EQ(sv.viewer.palette->secondaryViewer, nullptr);

  NavGraphicRepTreeSetting tree;
  tree.clearance = 0.5f;
  tree.rootType = 1;
  tree.graph.extensionLevel = -2;
  tree.analysisViewer = new NavSimpleViewer3DSetting(*source.palette->secondaryViewer);
  NavGraphicRepTreeSetting treeBack;
  const std::vector<unsigned char> treeBytes = Bytes(tree);
  ASSERT_EQ(ReadFrom(treeBack, treeBytes, treeBytes.size()), 1);
  EXPECT_EQ(Bytes(treeBack), treeBytes);
  EXPECT_EQ(treeBack.graph.extensionLevel, -2);

  NavListGenericSetting list;
  list.sortBits = 0x1 | 0x8;
  list.tagMode = 6;
  list.currentType = -3;
  list.filterText = "pump*\xE2\x82\xAC";
  NavListGenericSetting listBack;
  ASSERT_EQ(ReadFrom(listBack, Bytes(list), Bytes(list).size()), 1);
  EXPECT_EQ(listBack.filterText, list.filterText);
  EXPECT_EQ(listBack.currentType, -3);

  NavViewpointAnimation anim;
  anim.kind = 18;
  anim.direction = 0;
  anim.stepsPerTurn = 50;
  anim.axis = 1;
  NavViewpointAnimation animBack;
  ASSERT_EQ(ReadFrom(animBack, Bytes(anim), 16), 1);
  EXPECT_EQ(Bytes(animBack), Bytes(anim));
}

TEST(SettingsTest, EveryTruncationFailsCleanly) {
  const NavViewerSetting source = FullViewer();
  const std::vector<unsigned char> bytes = Bytes(source);
  NavViewerSetting prefilled;
  prefilled.stereoValue = 42.0f;
  prefilled.distance.showText = 0;
  for (size_t size = 0; size < bytes.size(); ++size) {
    NavViewerSetting fresh;
    KIVGPWMessage msg(bytes.data(), size);
    ASSERT_EQ(fresh.readMessage(&msg), 0) << size;
    EXPECT_TRUE(msg.HasError());
    EXPECT_LE(msg.GetReadPosition(), size);
    EXPECT_EQ(fresh.getMessageSize(), static_cast<int>(Bytes(fresh).size()));  // still usable

    NavViewerSetting target(prefilled);
    ReadFrom(target, bytes, size);
    // Values past the cut are left as they were.
    EXPECT_EQ(target.stereoValue, size >= 52 ? 6.5f : 42.0f) << size;
    EXPECT_EQ(target.distance.showText, size >= 140 ? 1 : 0) << size;
    EXPECT_EQ(target.palette != nullptr, size >= 144) << size;
  }

  NavListGenericSetting list;
  list.filterText = "valve";
  const std::vector<unsigned char> listBytes = Bytes(list);
  for (size_t size = 0; size < listBytes.size(); ++size) {
    NavListGenericSetting target;
    target.filterText = "keep";
    ASSERT_EQ(ReadFrom(target, listBytes, size), 0);
    EXPECT_EQ(target.filterText, KIVUnicodeString("keep"));
  }
  EXPECT_EQ(NavViewerSetting().readMessage(nullptr), 0);
  EXPECT_EQ(NavViewerSetting().writeMessage(nullptr), 0);
}

TEST(SettingsTest, NestingIsBoundedByTheMessageAndByALimit) {
  // Every word 1: each palette and secondary viewer flag says present, so only the end of
  // the message or the nesting limit stops the reading.
  std::vector<unsigned char> ones(4 * 100000, 0);
  for (size_t i = 0; i < ones.size(); i += 4) ones[i] = 1;
  for (size_t size : {size_t{400}, size_t{2000}, ones.size()}) {
    NavViewerSetting s;
    KIVGPWMessage msg(ones.data(), size);
    EXPECT_EQ(s.readMessage(&msg), 0);
    EXPECT_LE(Nesting(s), NavViewerSetting::snbMaxNesting);
    EXPECT_LE(Nesting(s), static_cast<int>(size / 180) + 1);
  }

  // A legitimate chain up to the limit reads back whole; one level more is refused.
  auto chain = [](int depth) {
    NavViewerSetting top;
    NavViewerSetting* v = &top;
    for (int i = 1; i < depth; ++i) {
      v->palette = new NavPaletteViewerSetting;
      v->palette->secondaryViewer = new NavSimpleViewer3DSetting;
      v = &v->palette->secondaryViewer->viewer;
      v->sectionMask = i;
    }
    return top;
  };
  NavViewerSetting deepest;
  const std::vector<unsigned char> atLimit = Bytes(chain(NavViewerSetting::snbMaxNesting));
  EXPECT_EQ(ReadFrom(deepest, atLimit, atLimit.size()), 1);
  EXPECT_EQ(Nesting(deepest), NavViewerSetting::snbMaxNesting);
  NavViewerSetting tooDeep;
  const std::vector<unsigned char> over = Bytes(chain(NavViewerSetting::snbMaxNesting + 1));
  EXPECT_EQ(ReadFrom(tooDeep, over, over.size()), 0);
  EXPECT_EQ(Nesting(tooDeep), NavViewerSetting::snbMaxNesting);
  // The limit counts nesting within one read, not reads made one after the other.
  EXPECT_EQ(ReadFrom(deepest, atLimit, atLimit.size()), 1);
}

}  // namespace
