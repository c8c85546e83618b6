// Text, PNG files and the embedded art through Qt's painter and image codecs, on our Bitmap.
// Shared by the windowed host and the headless one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/api/bitmap.h"

namespace plat::qtgfx {

// Creates an offscreen QGuiApplication when no Qt application exists yet (headless runs);
// fonts need one.
void EnsureGuiApplication();

// Maps the names the programs use ("ＭＳ 明朝", "ＭＳ Ｐゴシック") to installed faces.
std::string FaceFor(const std::string& fontName);

// Text with a transparent background, top-left of the character cell at (x, y), `cellHeight`
// pixels from the top of the cell to its bottom (ascent + descent). Not antialiased: each
// glyph pixel is written in `colour` exactly.
void DrawText(Bitmap& dst, const std::string& fontName, int cellHeight, uint32_t colour, int x, int y,
              std::string_view utf8);
int TextWidth(const std::string& fontName, int cellHeight, std::string_view utf8);

// The rendered-text cache behind DrawText: strings held, their bytes, and renders so far.
struct TextCacheStats {
  size_t entries = 0, bytes = 0;
  uint64_t renders = 0;
};
TextCacheStats TextCacheState();

// The embedded art: ":/art/<name>.png".
bool LoadArt(const std::string& name, Bitmap& out);
bool LoadPng(const std::string& path, Bitmap& out);
bool SavePng(const std::string& path, const Bitmap& bmp);

}  // namespace plat::qtgfx
