#pragma once
// The navigations of KIVBasic3DViewpointEditor::SetMode: five special navigations (a
// single drag action each), a translate-and-zoom pair, and the three navigation styles.
// Values 5 and 6 name no navigation (every action entry stays empty).
enum KIVBasic3DViewpointEditorMode : int {
  KIVBasic3DModeRotate = 0,
  KIVBasic3DModeZoom = 1,
  KIVBasic3DModeLookAt = 2,
  KIVBasic3DModeTranslate = 3,
  KIVBasic3DModeTurnHead = 4,
  KIVBasic3DModeNone5 = 5,
  KIVBasic3DModeNone6 = 6,
  KIVBasic3DModeTranslateZoom = 7,
  KIVBasic3DModeExamine = 8,
  KIVBasic3DModeWalk = 9,
  KIVBasic3DModeFly = 10
};
