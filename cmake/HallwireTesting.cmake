# hallwire_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [QT] [LABELS <labels...>]
#                   [TIMEOUT <s>] [ENV <VAR=value...>])
# QT: the test's main() creates a QApplication (offscreen) before running the cases.
# A test executable that exits with 77 is reported as skipped.
#
# One test executable, one CTest entry. Every test is confined to loopback
# (HALLWIRE_INTERFACES=lo), gets a datagram port of its own so it never meets
# a running copy or another test, a private per-user config folder, and the
# offscreen Qt platform.
# Build trees whose tests may run at the same time (several checkouts on one
# computer) need distinct bases, or their tests meet on loopback.
set(HALLWIRE_TEST_PORT_BASE 23100 CACHE STRING "First datagram port handed to a test")
set(HALLWIRE_TEST_PORT_NEXT ${HALLWIRE_TEST_PORT_BASE} CACHE INTERNAL "")
set(HALLWIRE_LSAN_SUPPRESSIONS ${CMAKE_SOURCE_DIR}/tests/lsan.supp)

function(hallwire_add_test)
  cmake_parse_arguments(T "QT" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} hw_test_main_qt)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} hw_test_main)
  endif()
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(port ${HALLWIRE_TEST_PORT_NEXT})
  math(EXPR next "${port} + 7")
  set(HALLWIRE_TEST_PORT_NEXT ${next} CACHE INTERNAL "")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(home ${CMAKE_BINARY_DIR}/testhome/${T_NAME})
  file(MAKE_DIRECTORY ${home}/config ${home}/runtime)
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}"
    SKIP_RETURN_CODE 77
    ENVIRONMENT "HALLWIRE_INTERFACES=lo;HALLWIRE_DGRAM_PORT=${port};QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${home}/config;HALLWIRE_TEST_HOME=${home};HALLWIRE_BIN_DIR=${CMAKE_BINARY_DIR}/bin;LSAN_OPTIONS=suppressions=${HALLWIRE_LSAN_SUPPRESSIONS};UBSAN_OPTIONS=print_stacktrace=1;${T_ENV}")
endfunction()
