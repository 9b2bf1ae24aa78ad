# The messenger window, its recipient tree and its message files.
hallwire_add_test(NAME test_app_tree SOURCES ${HW_TEST_DIR}/test_network_tree.cpp LIBS hw_app QT)
hallwire_add_test(NAME test_app_message_file SOURCES ${HW_TEST_DIR}/test_message_file.cpp LIBS hw_app)
hallwire_add_test(NAME test_app_main_form SOURCES ${HW_TEST_DIR}/test_main_form.cpp LIBS hw_app QT
                  ENV "XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/testhome/test_app_main_form/cache")
hallwire_add_test(NAME test_app_about_help SOURCES ${HW_TEST_DIR}/test_about_help.cpp LIBS hw_app QT
                  ENV "XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/testhome/test_app_about_help/cache")
# Pictures and captions on light and dark palettes, once at 1x and once at 2x; the
# screenshots land in testhome/<test>/shots.
foreach(scale 1 2)
  hallwire_add_test(NAME test_app_look_${scale}x SOURCES ${HW_TEST_DIR}/test_look.cpp LIBS hw_app hw_preferences QT
                    ENV "QT_SCALE_FACTOR=${scale}")
endforeach()
# The windows in German (the translations built in), and every shipped translation finished.
hallwire_add_test(NAME test_app_translations SOURCES ${HW_TEST_DIR}/test_translations.cpp LIBS hw_app QT
                  ENV "LANG=de_DE.UTF-8;LC_ALL=;LC_MESSAGES=;LANGUAGE="
                      "XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/testhome/test_app_translations/cache")
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
  add_test(NAME test_translations_complete
           COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/translations/check_ts.py
                   ${PROJECT_SOURCE_DIR}/translations)
endif()
