# Fuzz targets, one per decoder of outside input: fuzz_<name>.cpp beside this file, with
# its seeds and every crash input found so far in corpus/<name>/. In the project's own
# build each target gets the standalone main() of FuzzMain.cpp and its corpus is replayed
# as a test; the libFuzzer build is the small project in this folder (CMakeLists.txt).
set(HW_FUZZ_TARGETS datagram browse name_service frame profile registry colors message_file wave trailer)
set(HW_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})

if(NOT HW_FUZZ_STANDALONE)
  add_library(hw_fuzz_sources STATIC ${CMAKE_SOURCE_DIR}/app/MessageFile.cpp ${CMAKE_SOURCE_DIR}/desktop/WaveHeader.cpp)
  target_link_libraries(hw_fuzz_sources PUBLIC hw_transport hw_settings hw_platform)
  add_library(hw_fuzz_main OBJECT ${HW_FUZZ_DIR}/FuzzMain.cpp)
  foreach(name ${HW_FUZZ_TARGETS})
    add_executable(fuzz_${name} ${HW_FUZZ_DIR}/fuzz_${name}.cpp $<TARGET_OBJECTS:hw_fuzz_main>)
    target_link_libraries(fuzz_${name} PRIVATE hw_fuzz_sources)
    set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME fuzz_replay_${name} COMMAND fuzz_${name} ${HW_FUZZ_DIR}/corpus/${name})
    set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS fuzz TIMEOUT 120
      ENVIRONMENT "LSAN_OPTIONS=suppressions=${HALLWIRE_LSAN_SUPPRESSIONS};UBSAN_OPTIONS=print_stacktrace=1")
  endforeach()
endif()
