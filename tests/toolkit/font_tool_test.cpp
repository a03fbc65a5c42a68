#include "toolkit/widgets/font_tool.h"

#include <gtest/gtest.h>

#include <string>

#include "toolkit/widgets/colors.h"
#include "toolkit/base/scoped_object.h"

namespace {

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
  TScopedObject<TDrawTool> font(MakeFontTool());
  EXPECT_EQ(font->Kind, kToolFont);
  EXPECT_EQ(font->Handle, nullptr);
  EXPECT_EQ(font->Color, static_cast<TColor>(0x80000008u));
  EXPECT_EQ(font->FontData, TFontData{});
  EXPECT_EQ(font->FontData.CharSet, DEFAULT_CHARSET);
  EXPECT_EQ(font->FaceName, "MS Sans Serif");
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
    TScopedObject<TDrawTool> font(MakeFontTool());
    font->FontData.Style = c.style;
    font->FontData.Weight = c.weight;
    font->FontData.Height = -13;
    HFONT handle = FontHandle(font.Get());
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(FontHandle(font.Get()), handle) << "made once";
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
  TScopedObject<TDrawTool> font(MakeFontTool());
  SetFontStyle(font.Get(), kFontBold);
  font->FontData.Weight = 800;
  EXPECT_EQ(DescriptionOf(FontHandle(font.Get())).lfWeight, 800);
  SetFontStyle(font.Get(), kFontItalic);
  EXPECT_EQ(font->FontData.Weight, 0);
  EXPECT_EQ(DescriptionOf(FontHandle(font.Get())).lfWeight, FW_NORMAL);
  SetFontStyle(font.Get(), kFontBold);
  EXPECT_EQ(DescriptionOf(FontHandle(font.Get())).lfWeight, FW_BOLD);
}

TEST(FontTool, FaceNamesDefaultAndLong) {
  TScopedObject<TDrawTool> font(MakeFontTool());
  font->FaceName = "Default";
  EXPECT_STREQ(DescriptionOf(FontHandle(font.Get())).lfFaceName, "MS Sans Serif");

  TScopedObject<TDrawTool> longName(MakeFontTool());
  longName->FaceName = std::string(40, 'x');
  EXPECT_STREQ(DescriptionOf(FontHandle(longName.Get())).lfFaceName, std::string(31, 'x').c_str());
}

TEST(FontTool, SettersDropTheHandleAndNotifyOnlyOnChange) {
  TScopedObject<TDrawTool> font(MakeFontTool());
  int changes = 0;
  font->ChangeHandler = Counter(&changes);
  FontHandle(font.Get());
  SetFontHeight(font.Get(), 0);
  SetFontColor(font.Get(), font->Color);
  SetFontStyle(font.Get(), 0);
  EXPECT_EQ(changes, 0);
  EXPECT_NE(font->Handle, nullptr);

  SetFontHeight(font.Get(), -11);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(font->Handle, nullptr);
  SetFontColor(font.Get(), 0x0000FF);
  SetFontStyle(font.Get(), kFontBold);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(DescriptionOf(FontHandle(font.Get())).lfHeight, -11);
}

TEST(FontTool, AssignFromAnIdenticalToolKeepsTheHandle) {
  TScopedObject<TDrawTool> target(MakeFontTool());
  TScopedObject<TDrawTool> source(MakeFontTool());
  int changes = 0;
  target->ChangeHandler = Counter(&changes);
  HFONT handle = FontHandle(target.Get());
  AssignFont(target.Get(), source.Get());
  EXPECT_EQ(target->Handle, handle);
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
    TScopedObject<TDrawTool> changed(MakeFontTool());
    c.change(changed.Get());
    FontHandle(target.Get());
    int before = changes;
    AssignFont(target.Get(), changed.Get());
    EXPECT_EQ(changes, before + 1) << c.what;
    EXPECT_EQ(target->Handle, nullptr) << c.what;
    EXPECT_EQ(target->Color, changed->Color) << c.what;
    EXPECT_EQ(target->FontData, changed->FontData) << c.what;
    EXPECT_EQ(target->FaceName, changed->FaceName) << c.what;
  }
}

TEST(FontTool, CloneMakesFreesAndCopies) {
  TScopedObject<TDrawTool> source(MakeFontTool());
  SetFontHeight(source.Get(), -20);
  source->FaceName = "Arial";

  TDrawTool* copy = CloneTool(nullptr, source.Get());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, source.Get());
  EXPECT_EQ(copy->FontData.Height, -20);
  EXPECT_EQ(copy->FaceName, "Arial");
  EXPECT_EQ(copy->Kind, kToolFont);

  TScopedObject<TDrawTool> existing(MakeFontTool());
  EXPECT_EQ(CloneTool(existing.Get(), source.Get()), existing.Get());
  EXPECT_EQ(existing->FontData.Height, -20);

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
