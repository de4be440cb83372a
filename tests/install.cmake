# The installed game and its Debian package, exercised for real: installed,
# started from elsewhere on a private X server, quit with Escape, removed.
include(GNUInstallDirs)

add_test(NAME install_tree
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/installed_tree.sh
                 ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_DATADIR})
set_tests_properties(install_tree PROPERTIES ENVIRONMENT "${GRUMO_TEST_ENV}" TIMEOUT 90)

# Installs into the system through apt, so only as root and never alongside
# another test.
add_test(NAME install_package
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/package.sh
                 ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR} ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_DATADIR})
set_tests_properties(install_package PROPERTIES ENVIRONMENT "${GRUMO_TEST_ENV}" TIMEOUT 150
                     RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
