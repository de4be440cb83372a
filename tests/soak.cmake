# Long play is timed and measured in the plain build only.
if(NOT GRUMO_SANITIZE)
  add_executable(soak_test ${CMAKE_CURRENT_SOURCE_DIR}/soak_test.cpp support/test_main.cpp)
  target_link_libraries(soak_test PRIVATE grumo_seam)
  add_test(NAME soak_test COMMAND soak_test)
  set_tests_properties(soak_test PROPERTIES ENVIRONMENT "${GRUMO_TEST_ENV}" TIMEOUT 400)
endif()
