# The game as players get it: from its build tree, installed, and as the
# Debian package (through apt, so only as root and alone). The package is
# what a plain build ships, so a sanitizer build leaves it out.
set(GRUMO_INSTALL_TESTS build tree)
if(NOT GRUMO_SANITIZE)
  list(APPEND GRUMO_INSTALL_TESTS package)
endif()
foreach(what IN LISTS GRUMO_INSTALL_TESTS)
  add_test(NAME install_${what}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/install.sh ${what} ${CMAKE_BINARY_DIR}
                   ${PROJECT_SOURCE_DIR} ${CMAKE_COMMAND} ${CMAKE_CPACK_COMMAND})
  set_tests_properties(install_${what} PROPERTIES ENVIRONMENT "${GRUMO_TEST_ENV}" LABELS slow
                       TIMEOUT 150 SKIP_RETURN_CODE 77)
endforeach()
if(TEST install_package)
  set_tests_properties(install_package PROPERTIES RUN_SERIAL TRUE)
endif()
