# A short libFuzzer run over the font's text layout. libFuzzer comes with
# clang, so the test is there only where clang++ is.
find_program(GRUMO_FUZZ_CXX NAMES clang++ clang++-14)
if(GRUMO_FUZZ_CXX)
  add_test(NAME font_fuzz
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/run.sh 20 ${CMAKE_CURRENT_BINARY_DIR}/font_fuzz)
  set_tests_properties(font_fuzz PROPERTIES ENVIRONMENT "FUZZ_CXX=${GRUMO_FUZZ_CXX}" LABELS fuzz
                                            TIMEOUT 300)
endif()
