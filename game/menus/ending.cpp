// The ending's frame loop, its ring and opening texts, and the staff roll with the closing
// messages, the assembled title and "Fin..".
#include "game/menus/ending.h"

#include <iterator>
#include <vector>

#include "game/menus/menu_common.h"
#include "game/scenes.h"
#include "game/shell/draw.h"
#include "game/shell/frame.h"
#include "game/shell/transitions.h"
#include "platform/api/keys.h"

using namespace menus;
using namespace plat;

namespace {

// ---- the ring and the opening texts ----

void RingArcs(Game& g, float ax, float ay, float bx, float by) {
  for (int k = 0; k < 3; ++k) {
    const float x1 = 80.0f - k, y1 = 300.0f - k, x2 = 560.0f + k, y2 = 420.0f + k;
    DrawArc(g, kWhite, bsClear, pmCopy, x1, y1, x2, y2, ax, ay, 320, 240);
    DrawArc(g, kWhite, bsClear, pmCopy, x1, y1, x2, y2, 320, 240, bx, by);
  }
}

void DrawRingAndOpening(Game& g, int c) {
  if (c >= 0 && c <= 59) RingArcs(g, 319 - 8 * c, 240 + 2 * c, 321 + 8 * c, 240 + 2 * c);
  if (c >= 60 && c <= 345) RingArcs(g, 8 * c - 639, 2 * c + 240, 1319 - 8 * c, 2 * c + 240);
  const char* kCongrats = "Congratulation!";
  if (c >= 125 && c <= 174) DrawText(g, 38, GreyMod(5 * c - 113), kCongrats, 125, 330);
  if (c >= 175 && c <= 294) DrawText(g, 38, kWhite, kCongrats, 125, 330);
  if (c >= 295 && c <= 345) DrawText(g, 38, GreyMod(-5 * c - 62), kCongrats, 125, 330);
  const char* kTitle = "ぷかぷか☆らんぷ";
  if (c >= 500 && c <= 529) {
    DrawText(g, 32, GreyMod(8 * c + 96), kTitle, 95, 330 - 2 * (c - 500));
    DrawText(g, 32, GreyMod(8 * c + 96), "STAFF", 260, 380 - 2 * (c - 500));
  } else if (c >= 530 && c <= 679) {
    DrawText(g, 32, kWhite, kTitle, 95, 270);
    DrawText(g, 32, kWhite, "STAFF", 260, 320);
  } else if (c >= 680 && c <= 709) {
    DrawText(g, 32, GreyMod(63 - 8 * c), kTitle, 95, 270 - 2 * (c - 680));
    DrawText(g, 32, GreyMod(63 - 8 * c), "STAFF", 260, 320 - 2 * (c - 680));
  }
}

// ---- the credit cards ----

enum class NameLayout { Handle, FullName, Both };

struct CreditCard {
  std::vector<const char*> role;
  int R;
  NameLayout names;
  int N, E;
};

const CreditCard kCards[8] = {
    {{"企", "画", "・", "製", "作"}, 730, NameLayout::Both, 758, 890},
    {{"プ", "ロ", "グ", "ラ", "ム"}, 970, NameLayout::Handle, 998, 1110},
    {{"エ", "フ", "ェ", "ク", "ト"}, 1180, NameLayout::Handle, 1210, 1320},
    {{"グ", "ラ", "フ", "ィ", "ッ", "ク"}, 1390, NameLayout::FullName, 1422, 1540},
    {{"Ｂ", "Ｇ", "Ｍ"}, 1610, NameLayout::FullName, 1630, 1750},
    {{"シ", "ス", "テ", "ム"}, 1820, NameLayout::Both, 1844, 1980},
    {{"ス", "テ", "ー", "ジ", "作", "成"}, 2060, NameLayout::Both, 2092, 2230},
    {{"管", "理", "責", "任", "者"}, 2310, NameLayout::Handle, 2338, 2450},
};

struct Glyph {
  const char* text;
  int x, y;
};

std::vector<Glyph> NameGlyphs(NameLayout layout) {
  static const char* kHandle[6] = {"r", "o", "v", "e", "n", "u"};
  static const char* kFamily[2] = {"霞", "草"};
  static const char* kGiven[3] = {"丹", "五", "郎"};
  std::vector<Glyph> out;
  const int handleX = layout == NameLayout::Handle ? 260 : 150;
  const int familyX = layout == NameLayout::FullName ? 210 : 320;
  const int givenX = layout == NameLayout::FullName ? 300 : 400;
  if (layout != NameLayout::FullName)
    for (int i = 0; i < 6; ++i) out.push_back({kHandle[i], handleX + 18 * i, 332});
  if (layout == NameLayout::Both) out.push_back({"＆", 270, 332});
  if (layout != NameLayout::Handle) {
    for (int i = 0; i < 2; ++i) out.push_back({kFamily[i], familyX + 35 * i, 332});
    for (int i = 0; i < 3; ++i) out.push_back({kGiven[i], givenX + 35 * i, 332});
  }
  return out;
}

// Glyph n of a card appears at its first frame and is drawn for the last time in E + 2n - 1, so
// a card of g glyphs is empty from E + 2g on.
void DrawCard(Game& g, const CreditCard& card, int c) {
  if (c < card.R) return;
  const std::vector<Glyph> names = NameGlyphs(card.names);
  const int glyphs = static_cast<int>(card.role.size() + names.size());
  if (c >= card.E + 2 * glyphs) return;
  int n = 0;
  for (size_t j = 0; j < card.role.size(); ++j, ++n)
    if (c >= card.R + 4 * static_cast<int>(j) && c < card.E + 2 * n)
      DrawText(g, 28, kWhite, card.role[j], 95 + 35 * static_cast<int>(j), 272);
  for (size_t i = 0; i < names.size(); ++i, ++n)
    if (c >= card.N + 4 * static_cast<int>(i) && c < card.E + 2 * n)
      DrawText(g, 28, kWhite, names[i].text, names[i].x, names[i].y);
}

// ---- the closing messages ----

struct MessageLine {
  const char* text;
  int x;
};

void DrawMessage(Game& g, int c, int S, int T, const std::vector<MessageLine>& lines) {
  for (size_t L = 0; L < lines.size(); ++L) {
    const int s = S + 15 * static_cast<int>(L), t = T + 15 * static_cast<int>(L);
    const int x = lines[L].x, y = 280 + 40 * static_cast<int>(L);
    if (c >= s && c < s + 30)
      DrawText(g, 26, GreyMod(8 * (c - s)), lines[L].text, x - 60 + 2 * (c - s), y);
    else if (c >= s + 30 && c < t)
      DrawText(g, 26, 0xF0F0F0, lines[L].text, x, y);
    else if (c >= t && c < t + 30)
      DrawText(g, 26, GreyMod(240 - 8 * (c - t)), lines[L].text, x + 2 * (c - t), y);
  }
}

const std::vector<MessageLine>& SecondMessage(const Game& g) {
  static const std::vector<MessageLine> kKeepGoing = {
      {"次は全ステージクリアを目指して", 75},
      {"頑張ってみてください！", 145},
      {"全てのステージをクリアすると・・", 65},
  };
  static const std::vector<MessageLine> kAllStages = {
      {"オールステージクリア", 155},
      {"おめでとうございます！　これより", 50},
      {"新エリアへの挑戦が可能になります", 47},
      {"是非チャレンジしてみてください", 65},
  };
  static const std::vector<MessageLine> kAltMode = {
      {"ステージセレクト時に", 155},
      {"「Play」にカーソルを合わせて", 65},
      {"「Shiftキー」と「Mキー」を押すと？？", 0},
      {"気分に合わせて選んでください", 80},
  };
  static const std::vector<MessageLine> kComplete = {
      {"コンプリートクリア", 155},
      {"おめでとうございます！", 127},
      {"そして、ここまでやり込んでくれて", 40},
      {"本当にありがとうございました！！", 46},
  };
  if (g.BonusAreaOpen == 0) return g.ClearedCount <= 49 ? kKeepGoing : kAllStages;
  return g.ClearedCount < 55 ? kAltMode : kComplete;
}

// ---- the title and "Fin.." ----

constexpr const char* kTitleGlyphs[8] = {"ぷ", "か", "ぷ", "か", "☆", "ら", "ん", "ぷ"};
constexpr int kStarPos = 4;
constexpr int kStarX = 100 + 40 * kStarPos;

void DrawTitleAndFin(Game& g, int c) {
  if (c >= 3400 && c <= 3469) {
    int n = 0;
    for (int k = 0; k < 8; ++k) {
      if (k == kStarPos) continue;
      if (c >= 3400 + 5 * n) DrawText(g, 30, kWhite, kTitleGlyphs[k], 100 + 40 * k, 300);
      ++n;
    }
    return;
  }
  const int n = c - 3470;
  if (c >= 3470 && c <= 3510) {
    DrawRect(g, kBlack, bsSolid, pmCopy, kStarX - 82 + 2 * n, 218 + 2 * n, kStarX + 142, 442);
    DrawText(g, 30, kWhite, "ぷかぷか　らんぷ", 100, 300);
    DrawText(g, 190 - 4 * n, GreyMod(6 * n + 15), "☆", kStarX - 80 + 2 * n, 220 + 2 * n);
    return;
  }
  if (c >= 3511 && c <= 3524) {
    DrawRect(g, kBlack, bsSolid, pmCopy, kStarX - 82 + 2 * n, 218 + 2 * n, kStarX + 142, 442);
    DrawText(g, 30, kWhite, "ぷかぷか☆らんぷ", 100, 300);
    return;
  }
  if (c >= 3525) {
    const uint32_t colour = c <= 3555 ? GreyMod(8 * (c - 3525)) : kWhite;
    DrawText(g, 30, colour, "Fin..", 260, 360);
    DrawLine(g, colour, pmCopy, 250, 400, 355, 400);
    DrawText(g, 30, kWhite, "ぷかぷか☆らんぷ", 100, 300);
    // A key held from before must be released before it can end the ending.
    if (c == 3556) g.KeyLatch = 1;
  }
}

void LeaveEnding(Game& g) {
  g.SceneId = scTitleMenu;
  g.StageIndex = 0;
  WipeOut(g, true);
  Music(g, "rhythmicpark.ogg");
  MusicArm(g);
  BlackBoardLayer(g, 646, 446);
  ResetPlayAndCursors(g);
}

}  // namespace

void DrawStaffRoll(Game& g) {
  const int c = g.FrameCounter;
  if (c < 730) return;
  for (const CreditCard& card : kCards) DrawCard(g, card, c);
  static const std::vector<MessageLine> kThanks = {
      {"ここまでプレイしてくださり", 95},
      {"誠にありがとうございました！", 90},
      {"この場を使って", 195},
      {"お礼を申し上げます！", 155},
  };
  static const std::vector<MessageLine> kGoodbye = {
      {"エンディング終了後", 165}, {"Ｚキーを押すと", 195}, {"タイトルへ戻ります", 165},
      {"お疲れ様でした", 205},     {"それでは", 245},
  };
  DrawMessage(g, c, 2600, 2720, kThanks);
  DrawMessage(g, c, 2840, 2990, SecondMessage(g));
  DrawMessage(g, c, 3100, 3250, kGoodbye);
  DrawTitleAndFin(g, c);
}

void RunEnding(Game& g) {
  int& c = g.FrameCounter;
  c = -200;
  g.PlayerX = -27.0f;
  g.PlayerY = 5.0f;
  g.PlayerFacing = 0;
  g.BalloonList.X[0] = 21.0f;
  g.BalloonList.Y[0] = 5.0f;
  g.JumpPadList.X[0] = 21.0f;
  g.JumpPadList.Y[0] = 2.0f;
  g.JumpPadList.X[1] = 21.0f;
  g.JumpPadList.Y[1] = 5.0f;
  g.EndingSpriteTick = 21;
  WaitMs(g, 300);
  BlackBoardLayer(g, 646, 486);

  while (g.QuitRequested == 0) {
    BeginFrame(g);
    if (g.Paused == 0) {
      CopyBlt(g.BoardLayer, 0, 200, 640, 280, g.BackBuffer, 0, 200);
      DrawRingAndOpening(g, c);
      DrawStaffRoll(g);
      AnimateEndingActors(g);
      DrawOverlay(g);
      PresentBackBuffer(g);
      if (++g.PlayerAnimFrame > 15) g.PlayerAnimFrame = 0;
      if (++g.EndingSpriteTick > 35) g.EndingSpriteTick = 0;
      ++c;
      if (c > 3560) {
        if (g.KeyLatch == 0 && KeyPressed(g, kVkZ)) {
          PlayWave(g, wpOk1);
          RecordAllClear(g);
          LeaveEnding(g);
          return;
        }
        if (g.KeyLatch == 0 && KeyPressed(g, kVkX) && KeyPressed(g, kVkM) && KeyPressed(g, kVkShift)) {
          PlayWave(g, wpOk1);
          OpenBonusArea(g);
          LeaveEnding(g);
          return;
        }
      }
      if (c > 5002) c = 4000;
    }
    FullFrameTail(g);
  }
}
