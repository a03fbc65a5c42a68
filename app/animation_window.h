#pragma once

#include <string>
#include <vector>

#include "app/main_unit.h"
#include "formats/frame_composer.h"
#include "formats/play_list.h"
#include "toolkit/base/base_object.h"
#include "toolkit/widgets/timer.h"
#include "toolkit/widgets/widget.h"

// The animation window: plays the main window's sprite in its palette,
// zoomed, over a backdrop and its shadows, and saves what it plays as a GIF.
// One at a time, owned by the main window; the record goes with its form.
class TAnimationWindow : public TBaseObject {
 public:
  TMainWindow* Main = nullptr;
  TWidget* Form = nullptr;
  TWidget* PlayButton = nullptr;  // "Пуск" / "Стоп"
  TWidget* BackButton = nullptr;
  TWidget* NextButton = nullptr;
  TWidget* PositionLabel = nullptr;  // "Кадр 3 из 16" or "Нет кадров"
  TWidget* DelayEdit = nullptr;
  TWidget* ZoomBox = nullptr;
  TWidget* SaveButton = nullptr;
  TWidget* SelectedBox = nullptr;  // "Только выделенные"
  TWidget* BackdropBox = nullptr;
  TWidget* ShadowBox = nullptr;
  TWidget* Scroller = nullptr;
  TWidget* Picture = nullptr;
  TTimer* Timer = nullptr;

  std::vector<TPlayedFrame> Frames;  // what is played, in order
  size_t Position = 0;               // into Frames
  uint32_t DelayMs = 100;
  TComposedPicture Composed;  // the frame shown, composed once per change

 protected:
  void Destroy() override;
};

// The open window, or null.
extern TAnimationWindow* AnimationWindow;

// Adds the menu "Вид" with "Анимация..." to the main window's menu bar,
// between "Файл" and "О Программе...".
void AddViewMenu(TMainWindow* main);
// Opens the window, or brings the open one to the front.
void ShowAnimation(TMainWindow* main);

// What the main window tells it. The file name is the sprite's file as
// loaded (its folder is dropped for the title).
void AnimationSpriteLoaded(const std::string& fileName);
void AnimationPaletteChanged();
void AnimationSelectionChanged();

// The player, for the window's events (animation_player.cpp).
void RebuildPlayList(TAnimationWindow* window, bool fromStart);
void ShowPosition(TAnimationWindow* window);
void TogglePlaying(TAnimationWindow* window);
void StepFrames(TAnimationWindow* window, int step);
void ApplyDelay(TAnimationWindow* window);
void PaintAnimation(TAnimationWindow* window, TWidget* picture, HDC dc);
void SaveAnimationGif(TAnimationWindow* window);
void TickAnimation(TAnimationWindow* window, TTimer* timer);

// The zoom steps of "Масштаб:".
constexpr uint32_t kZoomSteps[] = {1, 2, 3, 4, 6, 8};
constexpr uint32_t kMinDelayMs = 20;
constexpr uint32_t kMaxDelayMs = 2000;
