// Option sets of the list, combo and edit boxes and the styles they stand for.
#include <cstddef>

#include "toolkit/widgets/list_controls.h"

namespace {

// An entry adds its style when its bit is set; an entry stored as the one's
// complement of a style adds that style when its bit is clear.
constexpr int32_t WhenClear(uint32_t style) {
  return static_cast<int32_t>(~style);
}

constexpr int32_t kListTable[] = {
    LBS_DISABLENOSCROLL,
    LBS_EXTENDEDSEL,
    WS_HSCROLL | LBS_MULTICOLUMN,
    LBS_MULTIPLESEL,
    LBS_NOINTEGRALHEIGHT,
    LBS_NOSEL,
    LBS_SORT,
    LBS_USETABSTOPS,
    WhenClear(LBS_HASSTRINGS),
    LBS_NODATA,
    LBS_OWNERDRAWFIXED,
    LBS_OWNERDRAWVARIABLE,
};

constexpr int32_t kComboTable[] = {
    CBS_DROPDOWNLIST,
    WhenClear(CBS_AUTOHSCROLL),
    CBS_DISABLENOSCROLL,
    CBS_LOWERCASE,
    CBS_NOINTEGRALHEIGHT,
    CBS_OEMCONVERT,
    CBS_SORT,
    CBS_UPPERCASE,
    CBS_OWNERDRAWFIXED,
    CBS_OWNERDRAWVARIABLE,
};

constexpr int32_t kEditTable[] = {
    WhenClear(WS_HSCROLL | ES_AUTOHSCROLL),
    WhenClear(WS_VSCROLL | ES_AUTOVSCROLL),
    ES_LOWERCASE,
    ES_MULTILINE,
    ES_NOHIDESEL,
    ES_OEMCONVERT,
    ES_PASSWORD,
    ES_READONLY,
    ES_UPPERCASE,
    ES_WANTRETURN,
    0,
    ES_NUMBER,
};

template <size_t N>
uint32_t TranslateOptions(uint16_t options, const int32_t (&table)[N]) {
  uint32_t style = 0;
  for (size_t i = 0; i < N; ++i) {
    bool set = (options >> i) & 1;
    int32_t entry = table[i];
    if (entry < 0) {
      if (!set) style |= ~static_cast<uint32_t>(entry);
    } else if (set) {
      style |= static_cast<uint32_t>(entry);
    }
  }
  return style;
}

}  // namespace

uint32_t ListOptionsStyle(ListOptions options) {
  return TranslateOptions(options, kListTable);
}

uint32_t ComboOptionsStyle(ComboOptions options) {
  return TranslateOptions(options, kComboTable);
}

uint32_t EditOptionsStyle(EditOptions options) {
  return TranslateOptions(options, kEditTable);
}
