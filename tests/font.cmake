grumo_seam_test(font_test ${CMAKE_CURRENT_SOURCE_DIR}/font_test.cpp)
