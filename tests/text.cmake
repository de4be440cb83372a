grumo_seam_test(text_test ${CMAKE_CURRENT_SOURCE_DIR}/text_test.cpp)
