add_executable(sound_test ${CMAKE_CURRENT_SOURCE_DIR}/sound_test.cpp support/test_main.cpp)
target_link_libraries(sound_test PRIVATE grumo_core GTest::gtest)
target_compile_definitions(sound_test PRIVATE GRUMO_DATA_DIR="${GRUMO_DATA_DIR}")
grumo_discover(sound_test)
