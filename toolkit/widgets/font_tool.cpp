#include "toolkit/widgets/font_tool.h"

char DefaultFontFace[LF_FACESIZE] = "MS Sans Serif";

namespace {

HGDIOBJ FontHandleRoutine(TDrawTool* tool) {
  return FontHandle(tool);
}

void DeleteHandle(TDrawTool* tool) {
  if (tool->Handle) DeleteObject(tool->Handle);
  tool->Handle = nullptr;
}

int32_t EffectiveWeight(const TFontData& data) {
  if (data.Weight != 0) return data.Weight;
  return (data.Style & kFontBold) ? FW_BOLD : FW_NORMAL;
}

LOGFONTA DescribeFont(const TDrawTool* tool) {
  const TFontData& data = tool->FontData;
  LOGFONTA font{};
  font.lfHeight = data.Height;
  font.lfWidth = data.Width;
  font.lfEscapement = data.Orientation;
  font.lfOrientation = data.Orientation;
  font.lfWeight = EffectiveWeight(data);
  font.lfItalic = (data.Style & kFontItalic) ? 1 : 0;
  font.lfUnderline = (data.Style & kFontUnderline) ? 1 : 0;
  font.lfStrikeOut = (data.Style & kFontStrikeOut) ? 1 : 0;
  font.lfCharSet = data.CharSet;
  font.lfPitchAndFamily = data.Pitch;
  const char* face = tool->FaceName == "Default" ? DefaultFontFace : tool->FaceName.c_str();
  lstrcpynA(font.lfFaceName, face, LF_FACESIZE);  // at most 31 characters and the zero
  return font;
}

}  // namespace

void TDrawTool::Destroy() {
  DeleteHandle(this);
  TBaseObject::Destroy();
}

TDrawTool* MakeFontTool() {
  auto* tool = new TDrawTool();
  tool->FaceName = DefaultFontFace;
  tool->AssignRoutine = &AssignFont;
  tool->CopyConstructor = &MakeFontTool;
  tool->HandleRoutine = &FontHandleRoutine;
  return tool;
}

void FontChanged(TDrawTool* tool) {
  DeleteHandle(tool);
  tool->ChangeHandler(tool);
}

void SetFontColor(TDrawTool* tool, TColor color) {
  if (tool->Color == color) return;
  tool->Color = color;
  FontChanged(tool);
}

void SetFontHeight(TDrawTool* tool, int32_t height) {
  if (tool->FontData.Height == height) return;
  tool->FontData.Height = height;
  FontChanged(tool);
}

void SetFontStyle(TDrawTool* tool, uint8_t style) {
  bool dropsWeight = !(style & kFontBold) && tool->FontData.Weight != 0;
  if (tool->FontData.Style == style && !dropsWeight) return;
  tool->FontData.Style = style;
  if (!(style & kFontBold)) tool->FontData.Weight = 0;
  FontChanged(tool);
}

void AssignFont(TDrawTool* destination, TDrawTool* source) {
  if (destination->Color == source->Color && destination->FontData == source->FontData &&
      destination->FaceName == source->FaceName) {
    return;
  }
  destination->Color = source->Color;
  destination->FontData = source->FontData;
  destination->FaceName = source->FaceName;
  FontChanged(destination);
}

TDrawTool* CloneTool(TDrawTool* destination, TDrawTool* source) {
  if (!source) {
    Free(destination);
    return nullptr;
  }
  if (!destination) destination = source->CopyConstructor();
  if (destination->Handle == nullptr || destination->Handle != source->Handle) {
    source->AssignRoutine(destination, source);
  }
  return destination;
}

HFONT FontHandle(TDrawTool* tool) {
  if (!tool->Handle) {
    LOGFONTA font = DescribeFont(tool);
    tool->Handle = CreateFontIndirectA(&font);
  }
  return static_cast<HFONT>(tool->Handle);
}
