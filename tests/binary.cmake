add_executable(binary_test ${CMAKE_CURRENT_SOURCE_DIR}/binary_test.cpp)
target_link_libraries(binary_test PRIVATE GTest::gtest_main PkgConfig::SDL)
target_compile_definitions(binary_test PRIVATE GRUMO_DATA_DIR="${GRUMO_DATA_DIR}"
                                               GRUMO_BINARY="$<TARGET_FILE:grumo>")
add_dependencies(binary_test grumo)
grumo_discover(binary_test)
