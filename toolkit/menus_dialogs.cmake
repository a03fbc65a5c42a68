# Sources and targets of this part of the toolkit are listed here.
# Menus built from templates, pop-up menus; file and folder dialogs.
target_sources(skarnel_toolkit PRIVATE
  menu.cpp
  menu_template.cpp
  menu_command.cpp
  file_dialog.cpp
  file_dialog_text.cpp
  folder_dialog.cpp
)
# Common dialogs; the shell's folder browser and its item lists.
target_link_libraries(skarnel_toolkit PUBLIC comdlg32 shell32 ole32)
