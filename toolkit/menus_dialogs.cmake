# Sources and targets of this part of the toolkit are listed here.
# Menus built from templates, pop-up menus.
target_sources(skarnel_toolkit PRIVATE
  menu.cpp
  menu_template.cpp
  menu_command.cpp
)
