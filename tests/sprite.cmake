grumo_seam_test(sprite_test ${CMAKE_CURRENT_SOURCE_DIR}/sprite_test.cpp)
