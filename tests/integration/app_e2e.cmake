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

# The messenger on one desktop with an XEmbed tray or no tray; messages over loopback.
# Skips itself where a tool is missing.
hallwire_add_test(NAME test_app_e2e_desktop
  SOURCES ${HW_TEST_DIR}/app_e2e_desktop_test.cpp
  LIBS hw_transport
  LABELS integration
  TIMEOUT 400)
add_dependencies(test_app_e2e_desktop hallwire)

# The tray menu and a late StatusNotifier host over D-Bus, desktop notifications and the
# window over AT-SPI, on the same rig with a private session bus. Skips itself where a tool is missing.
hallwire_add_test(NAME test_desktop_session
  SOURCES ${HW_TEST_DIR}/desktop_session_test.cpp
  LIBS hw_transport
  LABELS integration
  TIMEOUT 400
  ENV "HALLWIRE_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
add_dependencies(test_desktop_session hallwire)
