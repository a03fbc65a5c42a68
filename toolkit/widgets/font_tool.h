#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/base/base_object.h"
#include "toolkit/widgets/colors.h"
#include "toolkit/base/handler_pair.h"

class TDrawTool;

// Raised after every change of a tool, with the tool as sender.
using TToolChangeEvent = THandlerPair<TDrawTool*>;

// Kinds of drawing tool; fonts are the only kind made.
constexpr uint8_t kToolFont = 1;

// Bits of TFontData::Style.
constexpr uint8_t kFontBold = 1;
constexpr uint8_t kFontItalic = 2;
constexpr uint8_t kFontUnderline = 4;
constexpr uint8_t kFontStrikeOut = 8;

struct TFontData {
  int32_t Height = 0;
  int32_t Width = 0;
  int32_t Orientation = 0;
  int32_t Weight = 0;  // 0: normal, or bold when the style says so
  uint8_t Pitch = 0;
  uint8_t Style = 0;
  uint8_t CharSet = DEFAULT_CHARSET;

  friend bool operator==(const TFontData&, const TFontData&) = default;
};

// The face new font tools start with and the face "Default" stands for.
extern char DefaultFontFace[LF_FACESIZE];

// A font description that makes its GDI font on first use and drops it on
// every change, telling its owner through ChangeHandler.
class TDrawTool : public TBaseObject {
 public:
  uint8_t Kind = kToolFont;
  HGDIOBJ Handle = nullptr;  // 0 until needed; deleted on every change
  TColor Color = clWindowText;
  TToolChangeEvent ChangeHandler;
  TFontData FontData;
  std::string FaceName;
  // The kind's operations, so that copies need not know the kind.
  void (*AssignRoutine)(TDrawTool* destination, TDrawTool* source) = nullptr;
  TDrawTool* (*CopyConstructor)() = nullptr;
  HGDIOBJ (*HandleRoutine)(TDrawTool* tool) = nullptr;

 protected:
  void Destroy() override;
};

TDrawTool* MakeFontTool();

// Each stores the value when it differs and then runs FontChanged.
void SetFontColor(TDrawTool* tool, TColor color);
void SetFontHeight(TDrawTool* tool, int32_t height);
// Also drops an explicit weight when the new style is not bold.
void SetFontStyle(TDrawTool* tool, uint8_t style);

// Copies colour, font data and face; nothing happens when all are equal.
void AssignFont(TDrawTool* destination, TDrawTool* source);
// Makes `destination` (created when null) a copy of `source`; a null source
// frees the destination. Returns the destination.
TDrawTool* CloneTool(TDrawTool* destination, TDrawTool* source);
// Deletes the GDI object and tells the owner.
void FontChanged(TDrawTool* tool);
// The GDI font, created on first use.
HFONT FontHandle(TDrawTool* tool);
