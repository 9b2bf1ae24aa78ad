# The main window's placement under Xvfb with openbox and xfwm4 (with and without a
# tray) and under a headless weston, where the boxes are maximised too. Skips itself
# where a tool is missing.
hallwire_add_test(NAME test_placement_desktop
  SOURCES ${HW_TEST_DIR}/placement_desktop_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 400)
add_dependencies(test_placement_desktop hallwire)
add_executable(maximise_probe ${HW_TEST_DIR}/maximise_probe.cpp)
target_link_libraries(maximise_probe PRIVATE hw_app)
set_target_properties(maximise_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_compile_definitions(test_placement_desktop PRIVATE HW_MAXIMISE_PROBE="$<TARGET_FILE:maximise_probe>")
add_dependencies(test_placement_desktop maximise_probe)
