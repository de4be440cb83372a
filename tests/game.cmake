grumo_seam_test(game_test ${CMAKE_CURRENT_SOURCE_DIR}/game_test.cpp)
