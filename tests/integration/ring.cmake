# The shipped chime through the real messenger, heard on a private PulseAudio null
# sink. Skips itself where pulseaudio, parec or sox is missing.
hallwire_add_test(NAME test_ring
  SOURCES ${HW_TEST_DIR}/ring_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 120)
add_dependencies(test_ring hallwire hallwire-send hallwire_data)
