# The messenger end to end on three simulated computers with their own X displays,
# window managers and tray hosts. Needs root, iproute2 and the X tools; skips
# itself otherwise. Screenshots are kept in build/artifacts/app_e2e/.
hallwire_add_test(NAME test_app_e2e
  SOURCES ${HW_TEST_DIR}/app_e2e_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 400
  ENV "HALLWIRE_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts/app_e2e")
add_dependencies(test_app_e2e hallwire hallwire-send)
