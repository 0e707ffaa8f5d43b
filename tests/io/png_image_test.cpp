#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/io/KIVPngImage.h"

namespace {
std::string TempPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }
}  // namespace

TEST(PngImage, RoundTripKeepsEveryPixelAndRowOrder) {
  const int w = 7, h = 3;
  std::vector<unsigned char> rgba(w * h * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<unsigned char>(i * 37 + 11);
  const std::string path = TempPath("navtools_png_roundtrip.png");
  std::string error;
  ASSERT_EQ(KIVPngImage::Write(path.c_str(), w, h, rgba.data(), &error), 1) << error;
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  int rw = 0, rh = 0;
  std::vector<unsigned char> back;
  ASSERT_EQ(KIVPngImage::Read(path.c_str(), rw, rh, back, &error), 1) << error;
  EXPECT_EQ(rw, w);
  EXPECT_EQ(rh, h);
  EXPECT_EQ(back, rgba);
  std::filesystem::remove(path);
}

TEST(PngImage, FailuresSayWhyAndLeaveNothingBehind) {
  std::string error;
  const unsigned char pixel[4] = {1, 2, 3, 4};
  const std::string missingDir = TempPath("navtools_no_such_dir/out.png");
  EXPECT_EQ(KIVPngImage::Write(missingDir.c_str(), 1, 1, pixel, &error), 0);
  EXPECT_NE(error.find("out.png"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(missingDir));
  EXPECT_EQ(KIVPngImage::Write(nullptr, 1, 1, pixel, &error), 0);
  EXPECT_EQ(KIVPngImage::Write(TempPath("navtools_zero.png").c_str(), 0, 1, pixel, &error), 0);
  EXPECT_EQ(KIVPngImage::Write(TempPath("navtools_null.png").c_str(), 1, 1, nullptr, nullptr), 0);

  // A truncated or foreign file is refused and the outputs stay as they were.
  const std::string good = TempPath("navtools_png_good.png");
  ASSERT_EQ(KIVPngImage::Write(good.c_str(), 1, 1, pixel, &error), 1);
  const auto size = std::filesystem::file_size(good);
  std::filesystem::resize_file(good, size / 2);
  int w = 5, h = 6;
  std::vector<unsigned char> rgba(3, 9);
  EXPECT_EQ(KIVPngImage::Read(good.c_str(), w, h, rgba, &error), 0);
  EXPECT_NE(error.find("navtools_png_good.png"), std::string::npos);
  std::ofstream(good, std::ios::binary | std::ios::trunc) << "not an image";
  EXPECT_EQ(KIVPngImage::Read(good.c_str(), w, h, rgba, &error), 0);
  EXPECT_EQ(KIVPngImage::Read(TempPath("navtools_absent.png").c_str(), w, h, rgba, &error), 0);
  EXPECT_EQ(w, 5);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(rgba.size(), 3u);
  std::filesystem::remove(good);
}
