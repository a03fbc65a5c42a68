#include "toolkit/widgets/font_tool.h"

#include <gtest/gtest.h>

#include <string>

#include "toolkit/widgets/colors.h"

namespace {

struct TToolHolder {
  TDrawTool* t;
  explicit TToolHolder(TDrawTool* tool = MakeFontTool()) : t(tool) {}
  ~TToolHolder() { Free(t); }
};

LOGFONTA DescriptionOf(HFONT font) {
  LOGFONTA description{};
  GetObjectA(font, sizeof(description), &description);
  return description;
}

// Counts change notifications of a tool.
void CountChange(int* count, TDrawTool*) {
  ++*count;
}

void MarkFreed(bool* freed, TBaseObject*) {
  *freed = true;
}

TToolChangeEvent Counter(int* count) {
  return TToolChangeEvent::Bind<&CountChange>(count);
}

TEST(FontTool, StartsWithTheDefaultsAndNoHandle) {
  TToolHolder font;
  EXPECT_EQ(font.t->Kind, kToolFont);
  EXPECT_EQ(font.t->Handle, nullptr);
  EXPECT_EQ(font.t->Color, static_cast<TColor>(0x80000008u));
  EXPECT_EQ(font.t->FontData, TFontData{});
  EXPECT_EQ(font.t->FontData.CharSet, DEFAULT_CHARSET);
  EXPECT_EQ(font.t->FaceName, "MS Sans Serif");
}

TEST(FontTool, CreatesItsFontOnFirstUseWithWeightFromTheStyle) {
  struct TCase {
    uint8_t style;
    int32_t weight;
    LONG expectedWeight;
    BYTE italic, underline, strikeOut;
  } cases[] = {
      {0, 0, FW_NORMAL, 0, 0, 0},
      {kFontBold, 0, FW_BOLD, 0, 0, 0},
      {kFontBold, 600, 600, 0, 0, 0},
      {kFontItalic | kFontUnderline | kFontStrikeOut, 0, FW_NORMAL, 1, 1, 1},
  };
  for (const TCase& c : cases) {
    TToolHolder font;
    font.t->FontData.Style = c.style;
    font.t->FontData.Weight = c.weight;
    font.t->FontData.Height = -13;
    HFONT handle = FontHandle(font.t);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(FontHandle(font.t), handle) << "made once";
    LOGFONTA made = DescriptionOf(handle);
    EXPECT_EQ(made.lfWeight, c.expectedWeight);
    EXPECT_EQ(made.lfHeight, -13);
    EXPECT_EQ(made.lfItalic, c.italic);
    EXPECT_EQ(made.lfUnderline, c.underline);
    EXPECT_EQ(made.lfStrikeOut, c.strikeOut);
    EXPECT_STREQ(made.lfFaceName, "MS Sans Serif");
  }
}

TEST(FontTool, LosingBoldDropsAnExplicitWeight) {
  TToolHolder font;
  SetFontStyle(font.t, kFontBold);
  font.t->FontData.Weight = 800;
  EXPECT_EQ(DescriptionOf(FontHandle(font.t)).lfWeight, 800);
  SetFontStyle(font.t, kFontItalic);
  EXPECT_EQ(font.t->FontData.Weight, 0);
  EXPECT_EQ(DescriptionOf(FontHandle(font.t)).lfWeight, FW_NORMAL);
  SetFontStyle(font.t, kFontBold);
  EXPECT_EQ(DescriptionOf(FontHandle(font.t)).lfWeight, FW_BOLD);
}

TEST(FontTool, FaceNamesDefaultAndLong) {
  TToolHolder font;
  font.t->FaceName = "Default";
  EXPECT_STREQ(DescriptionOf(FontHandle(font.t)).lfFaceName, "MS Sans Serif");

  TToolHolder longName;
  longName.t->FaceName = std::string(40, 'x');
  EXPECT_STREQ(DescriptionOf(FontHandle(longName.t)).lfFaceName, std::string(31, 'x').c_str());
}

TEST(FontTool, SettersDropTheHandleAndNotifyOnlyOnChange) {
  TToolHolder font;
  int changes = 0;
  font.t->ChangeHandler = Counter(&changes);
  FontHandle(font.t);
  SetFontHeight(font.t, 0);
  SetFontColor(font.t, font.t->Color);
  SetFontStyle(font.t, 0);
  EXPECT_EQ(changes, 0);
  EXPECT_NE(font.t->Handle, nullptr);

  SetFontHeight(font.t, -11);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(font.t->Handle, nullptr);
  SetFontColor(font.t, 0x0000FF);
  SetFontStyle(font.t, kFontBold);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(DescriptionOf(FontHandle(font.t)).lfHeight, -11);
}

TEST(FontTool, AssignFromAnIdenticalToolKeepsTheHandle) {
  TToolHolder target;
  TToolHolder source;
  int changes = 0;
  target.t->ChangeHandler = Counter(&changes);
  HFONT handle = FontHandle(target.t);
  AssignFont(target.t, source.t);
  EXPECT_EQ(target.t->Handle, handle);
  EXPECT_EQ(changes, 0);

  struct TCase {
    const char* what;
    void (*change)(TDrawTool*);
  } cases[] = {
      {"colour", [](TDrawTool* t) { t->Color = 0x123456; }},
      {"font data", [](TDrawTool* t) { t->FontData.CharSet = RUSSIAN_CHARSET; }},
      {"face", [](TDrawTool* t) { t->FaceName = "Arial"; }},
  };
  for (const TCase& c : cases) {
    TToolHolder changed;
    c.change(changed.t);
    FontHandle(target.t);
    int before = changes;
    AssignFont(target.t, changed.t);
    EXPECT_EQ(changes, before + 1) << c.what;
    EXPECT_EQ(target.t->Handle, nullptr) << c.what;
    EXPECT_EQ(target.t->Color, changed.t->Color) << c.what;
    EXPECT_EQ(target.t->FontData, changed.t->FontData) << c.what;
    EXPECT_EQ(target.t->FaceName, changed.t->FaceName) << c.what;
  }
}

TEST(FontTool, CloneMakesFreesAndCopies) {
  TToolHolder source;
  SetFontHeight(source.t, -20);
  source.t->FaceName = "Arial";

  TDrawTool* copy = CloneTool(nullptr, source.t);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, source.t);
  EXPECT_EQ(copy->FontData.Height, -20);
  EXPECT_EQ(copy->FaceName, "Arial");
  EXPECT_EQ(copy->Kind, kToolFont);

  TToolHolder existing;
  EXPECT_EQ(CloneTool(existing.t, source.t), existing.t);
  EXPECT_EQ(existing.t->FontData.Height, -20);

  bool freed = false;
  copy->DestroyEvent = TObjectEvent::Bind<&MarkFreed>(&freed);
  EXPECT_EQ(CloneTool(copy, nullptr), nullptr);
  EXPECT_TRUE(freed);
  EXPECT_EQ(CloneTool(nullptr, nullptr), nullptr);
}

TEST(Colors, ResolveRgbAndSystemColours) {
  struct TCase {
    TColor color;
    COLORREF expected;
  } cases[] = {
      {0x000000FF, RGB(255, 0, 0)},
      {0x00123456, 0x00123456},
      {0, 0},
      {static_cast<TColor>(0x80000005u), GetSysColor(COLOR_WINDOW)},
      {clWindowText, GetSysColor(COLOR_WINDOWTEXT)},
      {clBtnFace, GetSysColor(COLOR_BTNFACE)},
      // Only the low byte names the system colour.
      {static_cast<TColor>(0x80FFFF05u), GetSysColor(COLOR_WINDOW)},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(ResolveColor(c.color), c.expected) << std::hex << c.color;
  }
  EXPECT_NE(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT))
      << "the table tells them apart";
}

}  // namespace
