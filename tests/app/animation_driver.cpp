#include "animation_driver.h"

std::vector<HWND> AnimationWindows(TViewerRun& viewer) {
  DWORD process = GetProcessId(viewer.Program().Process());
  std::vector<HWND> found;
  for (HWND window : ProcessWindows(process)) {
    if (ClassOf(window) == "obj_AnimationForm") found.push_back(window);
  }
  return found;
}

namespace {

void Sort(TViewerRun& viewer, HWND child, TAnimationControls& c) {
  std::string text = viewer.Text(child);
  std::string kind = ClassOf(child);
  if (text == "Пуск" || text == "Стоп") c.Play = child;
  if (text == "<") c.Back = child;
  if (text == ">") c.Next = child;
  if (text.rfind("Кадр", 0) == 0 || text == "Нет кадров") c.Position = child;
  if (text == "Сохранить GIF...") c.Save = child;
  if (text == "Только выделенные") c.Selected = child;
  if (text == "Тени") c.Shadow = child;
  if (kind == "obj_EDIT") c.Delay = child;
  if (kind == "obj_COMBOBOX") {
    // Told apart by their items: six zoom steps, two backdrops.
    (Ask(child, CB_GETCOUNT, 0, 0) == 6 ? c.Zoom : c.Backdrop) = child;
  }
  if (kind == "obj_ScrollBox") c.Picture = GetWindow(child, GW_CHILD);
}

}  // namespace

TAnimationControls OpenAnimation(TViewerRun& viewer) {
  TAnimationControls c;
  viewer.Command(kAnimationCommand);
  HWND form = viewer.Program().WaitForWindow("obj_AnimationForm", 5000);
  // The controls may still be coming as the window shows.
  WaitUntil([&] {
    c = TAnimationControls();
    for (HWND child : ChildWindows(form))
      Sort(viewer, child, c);
    return c.Play && c.Back && c.Next && c.Position && c.Delay && c.Zoom && c.Save && c.Selected &&
           c.Backdrop && c.Shadow && c.Picture;
  });
  c.Form = c.Picture ? form : nullptr;
  return c;
}

bool WaitForText(TViewerRun& viewer, HWND window, const std::string& text) {
  return WaitUntil([&] { return viewer.Text(window) == text; });
}

SIZE ClientSize(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

std::vector<TBytes> Zoomed(const std::vector<TBytes>& rows, int zoom) {
  std::vector<TBytes> zoomed;
  for (const TBytes& row : rows) {
    TBytes wide;
    for (uint8_t index : row)
      wide.insert(wide.end(), static_cast<size_t>(zoom), index);
    zoomed.insert(zoomed.end(), static_cast<size_t>(zoom), wide);
  }
  return zoomed;
}
