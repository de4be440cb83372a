grumo_seam_test(objects_test ${CMAKE_CURRENT_SOURCE_DIR}/objects_test.cpp)
