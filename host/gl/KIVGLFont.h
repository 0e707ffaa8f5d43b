#pragma once
// A small bitmap font built into the renderer, so that annotation texts need no font
// file: printable ASCII in 5 × 7 glyphs, each in a 6 × 10 cell (a column and three rows
// of spacing, two of them under the baseline), laid out in one 16 × 6 atlas texture.
// Other characters show as '?'.
#include <epoxy/gl.h>

#include <string>
#include <vector>

class KIVGLFont {
 public:
  static constexpr int kCellWidth = 6, kCellHeight = 10;
  static constexpr int kColumns = 16, kRows = 6;
  static constexpr int kAtlasWidth = kCellWidth * kColumns, kAtlasHeight = kCellHeight * kRows;
  /// Rows of the cell between its bottom and the baseline.
  static constexpr int kBaselineRows = 2;
  KIVGLFont() = default;
  KIVGLFont(const KIVGLFont&) = delete;
  KIVGLFont& operator=(const KIVGLFont&) = delete;
  /// Frees the texture: the context must be current.
  ~KIVGLFont();
  /// The atlas as a single-channel texture, made on first use.
  GLuint GetTexture();
  /// Frees the texture now (context current), or drops it without a GL call.
  void Free();
  void Forget() { mTexture = 0; }
  /// The glyphs of a UTF-8 text: one cell index per character.
  static std::vector<int> Cells(const std::string& text);
  /// The atlas's texture coordinates of a cell: left, bottom, right, top.
  static void CellUV(int cell, float* uv);
  /// The atlas pixels, one byte each, rows from the top (255 where a glyph is inked).
  static std::vector<unsigned char> AtlasPixels();

 private:
  GLuint mTexture = 0;
};
