// Gauges, text markers and rectangles: labels, the parts' looks and what only asks.
#include <gtest/gtest.h>

#include <cmath>

#include "host/visu/scene/KIV3DCylinderRep.h"
#include "host/visu/scene/KIV3DPlanarFaceGP.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "measure/KIVNavMarker3DGageRep.h"
#include "measure/KIVNavMarker3DTextRep.h"
#include "measure/NavKIV3DRectangleRep.h"
#include "primitives/KIV3DTextRep.h"

namespace {

TEST(Gauge, LabelRodAndPartsInOrder) {
  KIVUnicodeString name("d");
  KIVMathPointf a(0, 0, 0), b(1.5f, 2.0f, 0);
  KIVNavMarker3DGageRep gauge(name, a, b, 0.1f, 1);
  EXPECT_EQ(gauge.GetLabel().GetUtf8(), "d : 2.50");
  EXPECT_STREQ(gauge.GetText()->GetText(), "d : 2.50");
  ASSERT_EQ(gauge.GetChildren().size(), 4u);
  EXPECT_EQ(gauge.GetChildren()[0], gauge.GetFirstPoint());
  EXPECT_EQ(gauge.GetChildren()[1], gauge.GetSecondPoint());
  EXPECT_EQ(gauge.GetChildren()[2], gauge.GetRod());
  EXPECT_EQ(gauge.GetChildren()[3], gauge.GetText());
  EXPECT_EQ(gauge.GetFirstPoint()->GetGraphicAttributeSet().GetColorIndex(), 247);
  EXPECT_EQ(gauge.GetSecondPoint()->GetGraphicAttributeSet().GetColorIndex(), 245);
  EXPECT_EQ(gauge.GetRod()->GetGraphicAttributeSet().GetColorIndex(), 246);
  EXPECT_EQ(gauge.GetRod()->GetGraphicAttributeSet().GetType(), 2);
  EXPECT_EQ(gauge.GetFirstPoint()->GetGraphicAttributeSet().GetType(), 1);
  EXPECT_EQ(gauge.GetText()->GetGraphicAttributeSet().GetType(), 0);
  EXPECT_EQ(gauge.GetRod()->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::NotPickable), 0);
  EXPECT_FLOAT_EQ(gauge.GetRod()->GetRadius(), 0.05f);
  EXPECT_EQ(gauge.GetRod()->GetShowMode(), 0);

  // The second point moves: rod and label follow; the label stays at the first point.
  KIVMathPointf c(0, 0, 3);
  gauge.Modify(c, 2);
  EXPECT_EQ(gauge.GetLabel().GetUtf8(), "d : 3.00");
  EXPECT_FLOAT_EQ(gauge.GetRod()->GetAxis().z, 3.0f);
  EXPECT_EQ(gauge.GetText()->GetCurrentPosition(), a);
  EXPECT_EQ(gauge.GetCoordonnePoint(2), c);
  EXPECT_EQ(gauge.GetCoordonnePoint(1), a);

  // Coincident points: a zero length and no rod.
  gauge.Modify(a, 2);
  EXPECT_EQ(gauge.GetLabel().GetUtf8(), "d : 0.00");
  EXPECT_EQ(gauge.GetRod()->GetShowMode(), 1);
}

TEST(Gauge, QueriesChangeNothingAndColoursReachRodAndLabelOnly) {
  KIVUnicodeString name("gap");
  KIVMathPointf a(0, 0, 0), b(1, 0, 0);
  KIVNavMarker3DGageRep gauge(name, a, b, 0.2f, 1);
  EXPECT_FLOAT_EQ(gauge.SetWidth(-1.0f), 0.2f);
  EXPECT_EQ(gauge.ShowText(-1), 1);
  EXPECT_EQ(gauge.ShowText(0), 0);
  EXPECT_EQ(gauge.GetText()->GetShowMode(), 1);
  EXPECT_EQ(gauge.ShowText(1), 1);
  EXPECT_EQ(gauge.GetText()->GetShowMode(), 0);
  EXPECT_FLOAT_EQ(gauge.SetWidth(0.5f), 0.5f);
  EXPECT_FLOAT_EQ(gauge.GetRod()->GetRadius(), 0.25f);

  gauge.SetColorRGBA(10, 20, 30, 0);
  EXPECT_EQ(gauge.GetColor(), 255u);
  const KIVGraphicAttributeSet& rod = gauge.GetRod()->GetGraphicAttributeSet();
  EXPECT_EQ(rod.GetColorIndex(), 255);
  EXPECT_EQ(rod.bytes[4], 10);
  EXPECT_EQ(rod.bytes[7], 255) << "the alpha given is not used";
  EXPECT_EQ(gauge.GetText()->GetGraphicAttributeSet().bytes[6], 30);
  gauge.SetColor(246);
  EXPECT_EQ(gauge.GetColor(), 246u);
  EXPECT_EQ(gauge.GetRod()->GetGraphicAttributeSet().GetColorIndex(), 246);
  EXPECT_EQ(gauge.GetFirstPoint()->GetGraphicAttributeSet().GetColorIndex(), 247);
  gauge.SetColor(static_cast<unsigned int>(-1));
  EXPECT_EQ(gauge.GetColor(), 246u);

  // A copy is an equal gauge with parts of its own.
  gauge.ShowText(0);
  KIVNavMarker3DGageRep copy(gauge);
  EXPECT_EQ(copy.GetLabel().GetUtf8(), gauge.GetLabel().GetUtf8());
  EXPECT_NE(copy.GetRod(), gauge.GetRod());
  EXPECT_EQ(copy.ShowText(-1), 0);
  EXPECT_EQ(copy.GetRod()->GetGraphicAttributeSet().GetColorIndex(), 246);
}

TEST(TextMarker, MovesKeepingItsTextAndColoursOnlyTheText) {
  KIVUnicodeString name("inlet");
  KIVMathPointf p(1, 1, 1), q(2, 2, 2);
  KIVNavMarker3DTextRep marker(name, p);
  ASSERT_EQ(marker.GetChildren().size(), 2u);
  EXPECT_EQ(marker.GetText()->GetGraphicAttributeSet().GetColorIndex(), 247);
  marker.Modify(q);
  EXPECT_STREQ(marker.GetText()->GetText(), "inlet");
  EXPECT_EQ(marker.GetPoint()->GetPoint(), q);
  marker.SetColor(12);
  EXPECT_EQ(marker.GetText()->GetGraphicAttributeSet().GetColorIndex(), 12);
  EXPECT_EQ(marker.GetPoint()->GetGraphicAttributeSet().GetColorIndex(), 247);
  marker.SetColorRGBA(1, 2, 3, 4);
  EXPECT_EQ(marker.GetColor(), 255u);
  KIVUnicodeString other("outlet");
  marker.Modify(other, p);
  EXPECT_STREQ(marker.GetText()->GetText(), "outlet");
}

TEST(Rectangle, NormalAndSphere) {
  NavKIV3DRectangleRep rectangle(KIVMathPointf(1, 1, 1), KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0));
  EXPECT_FLOAT_EQ(rectangle.GetFace()->GetNormal().z, 1.0f);
  EXPECT_EQ(rectangle.GetFace()->GetVertexCount(), 4);
  EXPECT_EQ(rectangle.GetBoundingElement().GetCenter(), KIVMathPointf(1.5f, 1.5f, 1));
  EXPECT_NEAR(rectangle.GetBoundingElement().GetRadius(), std::sqrt(2.0f) / 2, 1e-6f);
}

}  // namespace
