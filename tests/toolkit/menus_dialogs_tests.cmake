# Sources and targets of this part of the toolkit are listed here.
# Menus built from templates and the command routing; dialog texts and flags.
skarnel_add_test(toolkit_menu_tests
  menu_test.cpp
  file_dialog_text_test.cpp
)
target_link_libraries(toolkit_menu_tests PRIVATE toolkit_gui_fixture)

# Pop-up menus and the system dialogs, shown for real and driven from
# timers inside their modal loops: one test at a time.
skarnel_add_test(toolkit_modal_tests SERIAL
  dialog_driver.cpp
  popup_menu_test.cpp
  file_dialog_test.cpp
  folder_dialog_test.cpp
)
target_link_libraries(toolkit_modal_tests PRIVATE toolkit_gui_fixture skarnel_test_support)
