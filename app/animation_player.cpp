// The animation window's player: the play list, the frame composed for the
// screen, playing and stepping, the delay, painting and saving as a GIF.
#include <windows.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "app/animation_window.h"
#include "app/main_commands.h"
#include "format_shp/shp_picture.h"
#include "formats/cases.h"
#include "formats/gif_writer.h"
#include "toolkit/widgets/check_box.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/list_controls.h"

namespace {

uint32_t ChosenZoom(TAnimationWindow* window) {
  int32_t index = CurrentIndex(window->ZoomBox);
  constexpr int32_t kSteps = static_cast<int32_t>(std::size(kZoomSteps));
  return kZoomSteps[index < 0 ? 0 : (index >= kSteps ? kSteps - 1 : index)];
}

TBackdrop ChosenBackdrop(TAnimationWindow* window) {
  return CurrentIndex(window->BackdropBox) == 1 ? TBackdrop::Checkerboard : TBackdrop::Palette;
}

std::vector<int32_t> SelectedFrames(TMainWindow* main) {
  std::vector<int32_t> selected;
  int32_t count = ItemCount(main->FrameList);
  for (int32_t index = 0; index < count; ++index) {
    if (IsItemSelected(main->FrameList, index)) selected.push_back(index);
  }
  return selected;
}

void ComposeShown(TAnimationWindow* window) {
  if (window->Frames.empty()) {
    window->Composed = TComposedPicture();
    return;
  }
  const TPlayedFrame& played = window->Frames[window->Position];
  TIndexedPicture shadow;
  if (played.Shadow >= 0) shadow = FramePicture(*Sprite, played.Shadow);
  TComposeRequest request;
  request.Frame = FramePicture(*Sprite, played.Frame);
  request.Shadow = played.Shadow >= 0 ? &shadow : nullptr;
  request.Colours = Sprite->Palette;
  request.Backdrop = ChosenBackdrop(window);
  request.Zoom = ChosenZoom(window);
  // A picture too large to compose shows as an empty one.
  ComposeFrame(request, window->Composed);
}

void StopPlaying(TAnimationWindow* window) {
  StopTimer(window->Timer);
  SetText(window->PlayButton, "Пуск");
}

}  // namespace

void ShowPosition(TAnimationWindow* window) {
  size_t count = window->Frames.size();
  if (window->Position >= count) window->Position = 0;
  std::string text = "Нет кадров";
  if (count > 0) {
    text = "Кадр " + std::to_string(window->Position + 1) + " из " + std::to_string(count);
  }
  SetText(window->PositionLabel, text.c_str());
  SetEnabled(window->SaveButton, count > 0);
  ComposeShown(window);
  TWidget* picture = window->Picture;
  SetWidth(picture, static_cast<int32_t>(window->Composed.Width));
  SetHeight(picture, static_cast<int32_t>(window->Composed.Height));
  if (picture->Window) InvalidateRect(picture->Window, nullptr, FALSE);
}

void RebuildPlayList(TAnimationWindow* window, bool fromStart) {
  int32_t shown = -1;
  if (!fromStart && window->Position < window->Frames.size())
    shown = window->Frames[window->Position].Frame;
  TPlayChoice choice;
  choice.FrameCount = Sprite->FrameCount;
  choice.OnlySelected = IsChecked(window->SelectedBox);
  if (choice.OnlySelected) choice.Selected = SelectedFrames(window->Main);
  choice.Shadows = IsChecked(window->ShadowBox);
  window->Frames = PlayList(choice);
  // The frame shown stays shown when it is still played.
  window->Position = 0;
  for (size_t i = 0; i < window->Frames.size(); ++i) {
    if (window->Frames[i].Frame == shown) window->Position = i;
  }
  if (window->Frames.empty()) StopPlaying(window);
  ShowPosition(window);
}

void TogglePlaying(TAnimationWindow* window) {
  if (window->Timer->Running || window->Frames.empty()) {
    StopPlaying(window);
    return;
  }
  StartTimer(window->Timer, window->DelayMs);
  SetText(window->PlayButton, "Стоп");
}

void StepFrames(TAnimationWindow* window, int step) {
  StopPlaying(window);
  size_t count = window->Frames.size();
  if (count == 0) return;
  window->Position =
      step < 0 ? (window->Position + count - 1) % count : (window->Position + 1) % count;
  ShowPosition(window);
}

void TickAnimation(TAnimationWindow* window, TTimer*) {
  if (window != AnimationWindow) return;
  if (window->Frames.empty()) {
    StopPlaying(window);
    return;
  }
  window->Position = (window->Position + 1) % window->Frames.size();
  ShowPosition(window);
}

void ApplyDelay(TAnimationWindow* window) {
  // Values on the way to a valid one (typing "2" before "250") are skipped.
  unsigned long delay = std::strtoul(GetText(window->DelayEdit).c_str(), nullptr, 10);
  if (delay < kMinDelayMs || delay > kMaxDelayMs) return;
  window->DelayMs = static_cast<uint32_t>(delay);
  if (window->Timer->Running) StartTimer(window->Timer, window->DelayMs);
}

void PaintAnimation(TAnimationWindow* window, TWidget*, HDC dc) {
  const TComposedPicture& picture = window->Composed;
  if (picture.Pixels.empty() || !dc) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(picture.Width);
  info.bmiHeader.biHeight = -static_cast<LONG>(picture.Height);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, 0, 0, picture.Width, picture.Height, 0, 0, 0, picture.Height,
                    picture.Pixels.data(), &info, DIB_RGB_COLORS);
}

void SaveAnimationGif(TAnimationWindow* window) {
  if (window->Frames.empty()) return;
  // Taken before the dialog: the window may be closed while it is open.
  TMainWindow* main = window->Main;
  std::vector<TIndexedPicture> pictures;
  for (const TPlayedFrame& played : window->Frames)
    pictures.push_back(FramePicture(*Sprite, played.Frame));
  TGifOptions options = {window->DelayMs, ChosenBackdrop(window) == TBackdrop::Palette};

  TFileDialog* dialog = main->SaveFrameDialog;
  std::string filter = dialog->FilterSpec;
  std::string extension = dialog->FallbackExtension;
  dialog->FilterSpec = "GIF (*.gif)|*.gif";
  dialog->FallbackExtension = "gif";
  dialog->ChosenPath = Sprite->Name;
  dialog->StartFolder = ExportFolder;
  bool chosen = ShowDialog(dialog);
  dialog->FilterSpec = filter;
  dialog->FallbackExtension = extension;
  if (!chosen) return;
  std::string path = dialog->ChosenPath;
  if (!WriteAnimatedGif(path, Sprite->Width, Sprite->Height, pictures, Sprite->Palette, options))
    ReportWriteFailure(main, path);
  ExportFolder = FolderPartOf(path);
}
