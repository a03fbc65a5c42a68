# List, combo and edit boxes; painter and scroll box.
skarnel_add_test(toolkit_controls_tests list_controls_test.cpp painter_test.cpp
  scroll_box_test.cpp)
target_link_libraries(toolkit_controls_tests PRIVATE toolkit_gui_fixture skarnel_test_support)

# Focus and simulated input: one test at a time.
skarnel_add_test(toolkit_controls_input_tests SERIAL controls_input_test.cpp)
target_link_libraries(toolkit_controls_input_tests PRIVATE toolkit_gui_fixture)
