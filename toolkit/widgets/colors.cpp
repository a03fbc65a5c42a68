#include "toolkit/widgets/colors.h"

COLORREF ResolveColor(TColor color) {
  if (color >= 0) return static_cast<COLORREF>(color);
  return GetSysColor(color & 0xFF);
}
