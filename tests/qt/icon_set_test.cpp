#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <cstdlib>

#include "host/qt/KIVQtIconSet.h"
#include "tests/qt/QtTestApp.h"

namespace {

QImage Render(const QIcon& icon, int px, qreal ratio = 1, QIcon::Mode mode = QIcon::Normal) {
  return icon.pixmap(QSize(px, px), ratio, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage Render(const std::string& name, int px, QIcon::Mode mode = QIcon::Normal) {
  return Render(KIVQtIconSet::Icon(name.c_str()), px, 1, mode);
}

int Inked(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 0;
  return count;
}

QImage Alpha(const QImage& image) { return image.convertToFormat(QImage::Format_Alpha8); }

}  // namespace

TEST(QtIconSet, EveryNameDrawsOnATransparentGroundAtEverySize) {
  QtTestApp();
  ASSERT_EQ(KIVQtIconSet::Names().size(), 20u);
  for (const std::string& name : KIVQtIconSet::Names()) {
    SCOPED_TRACE(name);
    EXPECT_EQ(KIVQtIconSet::Has(name.c_str()), 1);
    for (int px : {16, 24, 48}) {
      const QImage image = Render(name, px);
      ASSERT_EQ(image.size(), QSize(px, px));
      const int inked = Inked(image);
      EXPECT_GT(inked, px * px / 20) << px;  // a drawing, not a dot
      EXPECT_LT(inked, px * px * 4 / 5) << px;
      EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << px;
    }
  }
}

TEST(QtIconSet, HighDensityDrawsAtDevicePixels) {
  QtTestApp();
  for (const std::string& name : KIVQtIconSet::Names()) {
    SCOPED_TRACE(name);
    const QIcon icon = KIVQtIconSet::Icon(name.c_str());
    const QPixmap sharp = icon.pixmap(QSize(24, 24), 2.0);
    EXPECT_EQ(sharp.size(), QSize(48, 48));
    EXPECT_DOUBLE_EQ(sharp.devicePixelRatio(), 2.0);
    // Drawn afresh at 48 device pixels, not a 24 px drawing blown up.
    EXPECT_EQ(sharp.toImage().convertToFormat(QImage::Format_ARGB32), Render(name, 48));
  }
}

TEST(QtIconSet, DisabledIsTheSameDrawingInGrey) {
  QtTestApp();
  for (const std::string& name : KIVQtIconSet::Names()) {
    SCOPED_TRACE(name);
    const QImage normal = Render(name, 32), disabled = Render(name, 32, QIcon::Disabled);
    EXPECT_NE(normal, disabled);
    EXPECT_EQ(Alpha(normal), Alpha(disabled));
    bool coloured = false, grey = true;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const QRgb n = normal.pixel(x, y), d = disabled.pixel(x, y);
        if (qAlpha(n) > 128 && std::abs(qRed(n) - qBlue(n)) > 60) coloured = true;
        if (qAlpha(d) > 0 && (std::abs(qRed(d) - qGreen(d)) > 2 || std::abs(qGreen(d) - qBlue(d)) > 2)) grey = false;
      }
    EXPECT_TRUE(coloured) << "the accent is missing";
    EXPECT_TRUE(grey);
  }
}

TEST(QtIconSet, NoTwoIconsLookAlike) {
  QtTestApp();
  std::vector<std::string> names = KIVQtIconSet::Names();
  names.push_back("no-such-icon");  // the generic glyph must not pass for a tool either
  std::vector<QImage> images;
  for (const std::string& name : names) images.push_back(Render(name, 24));
  for (size_t i = 0; i < names.size(); ++i)
    for (size_t j = i + 1; j < names.size(); ++j) EXPECT_NE(images[i], images[j]) << names[i] << " " << names[j];
}

TEST(QtIconSet, UnknownNamesGetTheGenericGlyphAndEmptyNamesNone) {
  QtTestApp();
  const QIcon unknown = KIVQtIconSet::Icon("cbunknown");
  EXPECT_FALSE(unknown.isNull());
  EXPECT_EQ(KIVQtIconSet::Has("cbunknown"), 0);
  EXPECT_GT(Inked(Render(unknown, 24)), 0);
  EXPECT_EQ(Render(unknown, 24), Render("other", 24));
  EXPECT_EQ(KIVQtIconSet::Has("CBZOOM"), 0);

  EXPECT_TRUE(KIVQtIconSet::Icon(nullptr).isNull());
  EXPECT_TRUE(KIVQtIconSet::Icon("").isNull());
  EXPECT_EQ(KIVQtIconSet::Has(nullptr), 0);
  EXPECT_EQ(KIVQtIconSet::Has(""), 0);
}

TEST(QtIconSet, CopiesKeepTheirDrawingAndName) {
  QtTestApp();
  const QIcon icon = KIVQtIconSet::Icon("cbzoom");
  QIcon copy = icon;
  copy.setIsMask(true);  // detaches, which clones the engine
  EXPECT_EQ(copy.name(), QStringLiteral("cbzoom"));
  EXPECT_EQ(Render(copy, 24), Render(icon, 24));
}

TEST(QtIconSet, FitsTheLargestCentredSquareOfAnyRect) {
  QtTestApp();
  const QIcon icon = KIVQtIconSet::Icon("cbtrans");
  QImage wide(48, 24, QImage::Format_ARGB32);
  wide.fill(Qt::transparent);
  {
    QPainter painter(&wide);
    icon.paint(&painter, wide.rect());
  }
  EXPECT_EQ(Inked(wide.copy(0, 0, 12, 24)), 0);
  EXPECT_EQ(Inked(wide.copy(36, 0, 12, 24)), 0);
  EXPECT_EQ(Inked(wide.copy(12, 0, 24, 24)), Inked(Render(icon, 24)));
}
