// The sheet layouts of every bitmap both programs load: sizes, masked sprite pairs, shared masks,
// sheets pre-drawn on the background tiles and texts baked in. Shared by the generator and the checker.
//
// Sheet         size     what lies where
// ImgTitle      640x960  rows 0..479 title picture; rows 480..959 the same picture with the logo
//                        (363,37), the line sheet (377,121) and the dim menu items baked in
// ImgAnten      256x32   eight 32x32 AND tiles, tile k black on a (k+1)/8 nested Bayer set, 7 all black
// ImgMap0       352x32   bg 0..2 at 0,32,64; blocks 0..3 at 96..192; ice 0..1 at 224,256;
//                        no-jump 0..1 at 288,320; all opaque
// ImgMap1       160x64   ladder 0, ladder 1, door, closed jail, open jail; masks 32 below
// ImgChar       256x384  player, six bands (image row, mask row 32 below), 8 cells a row:
//                        walk R 0, walk L 64, fall/land 128, ladder 192, lift 256, jump 320
// ImgChar1      160x96   balloon styles in rows 0,32,64, 4 frames, one mask at x 128 for all
// ImgChar2      128x80   jump pad poses 0..3, 32x40 cells, masks 40 below; pose 0 in rows 8..39
// ImgChar3      128x288  key 0 (rows 0..64), key 1 (96..160), ball (192..256) on bg 0,1,2; opaque
// ImgChar4      192x96   cloud frames A,V1,V2,V3,B,warn at x 0..160 on bg 0,1,2; opaque
// ImgChar5      256x64   goal, 8 frames, masks 32 below
// ImgChar6      288x32   conveyor right x 0..96, left x 128..224, one full-cell mask at x 256
// ImgChar7      128x32   menu cursor, 3 frames, one mask at x 96
// ImgChar8      128x196  clear poses: turn 0 (mask 32), stand 64 (mask 96), wave (0,128)/(64,128),
//                        (32,128)/(96,128), riding (0,160)/(32,160), broom (64,160)/(96,160)
// ImgChar9      75x30    sparkle, 5 frames of 15x15, masks 15 below
// ImgChar10     160x288  barrier styles 0..2 (rows 96*style + 32*bg), 4 frames; opaque; x 128 spare
// ImgChar11     160x128  cleared marker 4 frames + bonus mark x 128 (mask 32 below); title sprite row 64
// ImgChar12     223x442  title logo 223x221, mask 221 below
// ImgChar13     196x76   subtitle ribbon 196x38, mask 38 below
// ImgChar14     256x512  second player: bands as ImgChar, plus spin R 384 and spin L 448 (masks 32 below)
// ImgChar15     160x256  HUD key 0 row 0, key 1 row 64 (masks 32 below); ending balloon figures rows
//                        192, 224 with one mask at x 128
// ImgChar16     128x240  helper bird: B row 0, A row 24, C row 48 (24x24); carrying row 96 (32x24);
//                        masks 120 below
// ImgChar17     224x32   corner star, 6 frames (5 the one-tick flash), one mask at x 192
// ImgChar18     640x288  bottom strips: picker off 0, select bar 48, edit bar 96, picker on 144,
//                        all-clear picker off 192 / on 240
// ImgChar19     379x35   "STAGE CLEAR", white on black, letters in their reveal slots
// ImgChar20     256x248  bursts 60x60 (mask 60 below); shells row 120 (mask 152); flight row 184 (mask 216)
// EditImgChar3  128x192  editor: key 0 rows 0/32, key 1 rows 64/96, ball rows 128/160 (sprites on black)
// EditImgChar4  32x64    editor: cloud, mask 32 below
// EditImgChar10 32x160   editor: barrier styles rows 0,32,64; one mask at row 128
// EditPartsImage 577x33  editor palette: part k at (32k,0), black spare column and row
#pragma once
#include <array>

namespace artgen {

struct SheetSize {
  const char* name;
  int w, h;
};

inline constexpr std::array<SheetSize, 29> kSheets{{
    {"ImgTitle", 640, 960},  {"ImgAnten", 256, 32},   {"ImgMap0", 352, 32},   {"ImgMap1", 160, 64},
    {"ImgChar", 256, 384},   {"ImgChar1", 160, 96},   {"ImgChar2", 128, 80},  {"ImgChar3", 128, 288},
    {"ImgChar4", 192, 96},   {"ImgChar5", 256, 64},   {"ImgChar6", 288, 32},  {"ImgChar7", 128, 32},
    {"ImgChar8", 128, 196},  {"ImgChar9", 75, 30},    {"ImgChar10", 160, 288}, {"ImgChar11", 160, 128},
    {"ImgChar12", 223, 442}, {"ImgChar13", 196, 76},  {"ImgChar14", 256, 512}, {"ImgChar15", 160, 256},
    {"ImgChar16", 128, 240}, {"ImgChar17", 224, 32},  {"ImgChar18", 640, 288}, {"ImgChar19", 379, 35},
    {"ImgChar20", 256, 248}, {"EditImgChar3", 128, 192}, {"EditImgChar4", 32, 64},
    {"EditImgChar10", 32, 160}, {"EditPartsImage", 577, 33},
}};

// A masked sprite: image block at (ix, iy), mask block at (mx, my), w x h.
struct MaskedCell {
  const char* sheet;
  int ix, iy, mx, my, w, h;
};

// A strip of `count` frames, stepping (dx, dy), that share one mask.
struct Strip {
  const char* sheet;
  int x0, y0, dx, dy, count, maskX, maskY, w, h;
};

// Masked strips with one mask per frame (mask at the same x, `maskDy` rows below).
struct MaskYRow {
  const char* sheet;
  int x0, y, step, count, maskDy, w, h;
};

inline constexpr MaskYRow kMaskYRows[] = {
    {"ImgMap1", 0, 0, 32, 5, 32, 32, 32},
    // Player sheets: every band of 8 cells.
    {"ImgChar", 0, 0, 32, 8, 32, 32, 32},     {"ImgChar", 0, 64, 32, 8, 32, 32, 32},
    {"ImgChar", 0, 128, 32, 8, 32, 32, 32},   {"ImgChar", 0, 192, 32, 8, 32, 32, 32},
    {"ImgChar", 0, 256, 32, 8, 32, 32, 32},   {"ImgChar", 0, 320, 32, 8, 32, 32, 32},
    {"ImgChar14", 0, 0, 32, 8, 32, 32, 32},   {"ImgChar14", 0, 64, 32, 8, 32, 32, 32},
    {"ImgChar14", 0, 128, 32, 8, 32, 32, 32}, {"ImgChar14", 0, 192, 32, 8, 32, 32, 32},
    {"ImgChar14", 0, 256, 32, 8, 32, 32, 32}, {"ImgChar14", 0, 320, 32, 8, 32, 32, 32},
    {"ImgChar14", 0, 384, 32, 8, 32, 32, 32}, {"ImgChar14", 0, 448, 32, 8, 32, 32, 32},
    {"ImgChar2", 0, 0, 32, 4, 40, 32, 40},
    {"ImgChar5", 0, 0, 32, 8, 32, 32, 32},
    {"ImgChar8", 0, 0, 32, 4, 32, 32, 32},    {"ImgChar8", 0, 64, 32, 4, 32, 32, 32},
    {"ImgChar9", 0, 0, 15, 5, 15, 15, 15},
    {"ImgChar11", 0, 0, 32, 5, 32, 32, 32},   {"ImgChar11", 0, 64, 32, 4, 32, 32, 32},
    {"ImgChar12", 0, 0, 223, 1, 221, 223, 221},
    {"ImgChar13", 0, 0, 196, 1, 38, 196, 38},
    {"ImgChar15", 0, 0, 32, 4, 32, 32, 32},   {"ImgChar15", 0, 64, 32, 4, 32, 32, 32},
    {"ImgChar16", 0, 0, 24, 4, 120, 24, 24},  {"ImgChar16", 0, 24, 24, 4, 120, 24, 24},
    {"ImgChar16", 0, 48, 24, 4, 120, 24, 24}, {"ImgChar16", 0, 96, 32, 4, 120, 32, 24},
    {"ImgChar20", 0, 0, 60, 4, 60, 60, 60},   {"ImgChar20", 0, 120, 32, 7, 32, 32, 32},
    {"ImgChar20", 0, 184, 32, 8, 32, 32, 32},
    {"EditImgChar3", 0, 0, 32, 4, 32, 32, 32},  {"EditImgChar3", 0, 64, 32, 4, 32, 32, 32},
    {"EditImgChar3", 0, 128, 32, 4, 32, 32, 32},
    {"EditImgChar4", 0, 0, 32, 1, 32, 32, 32},
};

inline constexpr Strip kSharedStrips[] = {
    {"ImgChar1", 0, 0, 32, 0, 4, 128, 0, 32, 32},   {"ImgChar1", 0, 32, 32, 0, 4, 128, 32, 32, 32},
    {"ImgChar1", 0, 64, 32, 0, 4, 128, 64, 32, 32}, {"ImgChar6", 0, 0, 32, 0, 8, 256, 0, 32, 32},
    {"ImgChar7", 0, 0, 32, 0, 3, 96, 0, 32, 32},    {"ImgChar15", 0, 192, 32, 0, 4, 128, 192, 32, 32},
    {"ImgChar15", 0, 224, 32, 0, 4, 128, 224, 32, 32}, {"ImgChar17", 0, 0, 32, 0, 6, 192, 0, 32, 32},
    {"EditImgChar10", 0, 0, 0, 32, 3, 0, 128, 32, 32},
};

// MaskX pairs of the stage-clear sheet.
inline constexpr MaskedCell kMaskXCells[] = {
    {"ImgChar8", 0, 128, 64, 128, 32, 32},
    {"ImgChar8", 32, 128, 96, 128, 32, 32},
    {"ImgChar8", 0, 160, 32, 160, 32, 32},
    {"ImgChar8", 64, 160, 96, 160, 32, 32},
};

// The same silhouette in two places (the ending lays one sheet's mask over the other's sprite).
struct SameMask {
  const char* sheetA;
  int ax, ay;
  const char* sheetB;
  int bx, by, w, h;
};

inline constexpr SameMask kSameMasks[] = {
    {"ImgChar1", 128, 0, "ImgChar1", 128, 32, 32, 32},
    {"ImgChar1", 128, 0, "ImgChar1", 128, 64, 32, 32},
    {"ImgChar1", 128, 0, "ImgChar15", 128, 192, 32, 32},
    {"ImgChar1", 128, 0, "ImgChar15", 128, 224, 32, 32},
};

// Opaque sheets drawn over each background tile: cell (x0 + 32*frame, y) lies on bg `bg`.
struct PreDrawnRow {
  const char* sheet;
  int y, frames, bg;
};

inline constexpr PreDrawnRow kPreDrawn[] = {
    {"ImgChar3", 0, 4, 0},   {"ImgChar3", 32, 4, 1},   {"ImgChar3", 64, 4, 2},
    {"ImgChar3", 96, 4, 0},  {"ImgChar3", 128, 4, 1},  {"ImgChar3", 160, 4, 2},
    {"ImgChar3", 192, 4, 0}, {"ImgChar3", 224, 4, 1},  {"ImgChar3", 256, 4, 2},
    {"ImgChar4", 0, 6, 0},   {"ImgChar4", 32, 6, 1},   {"ImgChar4", 64, 6, 2},
    {"ImgChar10", 0, 4, 0},  {"ImgChar10", 32, 4, 1},  {"ImgChar10", 64, 4, 2},
    {"ImgChar10", 96, 4, 0}, {"ImgChar10", 128, 4, 1}, {"ImgChar10", 160, 4, 2},
    {"ImgChar10", 192, 4, 0}, {"ImgChar10", 224, 4, 1}, {"ImgChar10", 256, 4, 2},
};

// Text baked in dim, which the code overdraws lit at the same place (font "ＭＳ 明朝").
struct BakedText {
  const char* sheet;
  int x, y, size;  // sheet coordinates; size in points
  const char* text;
};

inline constexpr unsigned kDim = 0x8CC8C8;  // 0x00BBGGRR
inline constexpr unsigned kLit = 0xE6FAFA;

inline constexpr BakedText kBakedDim[] = {
    {"ImgTitle", 368, 480 + 280, 30, "NORMAL GAME"},
    {"ImgTitle", 388, 480 + 340, 30, "EDIT GAME"},
    {"ImgTitle", 446, 480 + 398, 30, "END"},
    {"ImgChar18", 50, 48 + 5, 30, "STAGE"},  {"ImgChar18", 210, 48 + 5, 30, "PLAY"},
    {"ImgChar18", 350, 48 + 5, 30, "TITLE"}, {"ImgChar18", 520, 48 + 5, 30, "END"},
    {"ImgChar18", 70, 96 + 5, 30, "LOAD"},   {"ImgChar18", 210, 96 + 5, 30, "PLAY"},
    {"ImgChar18", 350, 96 + 5, 30, "TITLE"}, {"ImgChar18", 520, 96 + 5, 30, "END"},
    {"ImgChar18", 50, 0 + 5, 30, "STAGE"},   {"ImgChar18", 50, 192 + 5, 30, "STAGE"},
};
// The blinking "on" picker strips hold the same label lit.
inline constexpr BakedText kBakedLit[] = {
    {"ImgChar18", 50, 144 + 5, 30, "STAGE"},
    {"ImgChar18", 50, 240 + 5, 30, "STAGE"},
};

// The banner "STAGE CLEAR" (ImgChar19, drawn at (138, 340)): the columns each letter owns, and
// where the run-time letter of that slot lands (size 40, Y 330).
struct BannerSlot {
  char letter;
  int x0, x1, landX;
};
inline constexpr BannerSlot kBannerSlots[10] = {
    {'S', 0, 19, 135},    {'T', 21, 59, 172},   {'A', 61, 95, 209},   {'G', 97, 132, 246},
    {'E', 134, 169, 283}, {'C', 171, 231, 345}, {'L', 233, 268, 382}, {'E', 270, 305, 419},
    {'A', 307, 344, 456}, {'R', 346, 378, 493},
};

inline int CellHeightFor(int size) { return static_cast<int>(size * 96.0 / 72.0 + 0.5); }

}  // namespace artgen
