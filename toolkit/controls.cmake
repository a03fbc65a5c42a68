# List, combo and edit boxes; painter and scroll box.
target_sources(skarnel_toolkit PRIVATE
  control_options.cpp
  list_box.cpp
  combo_box.cpp
  edit_box.cpp
  list_items.cpp
  painter.cpp
  scroll_box.cpp
)
