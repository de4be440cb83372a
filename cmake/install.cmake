# The binary stays out of PATH; bin/grumo is a launcher that enters the data
# directory first, because the game opens gfx/ and sound/ relative to where
# it runs.
include(GNUInstallDirs)

set(GRUMO_ICON "${PROJECT_SOURCE_DIR}/packaging/grumo.png"
    CACHE FILEPATH "128x128 PNG installed as the game's icon")

set(GRUMO_ICON_48 "${PROJECT_SOURCE_DIR}/packaging/grumo-48.png"
    CACHE FILEPATH "Optional 48x48 PNG of the icon, for menus that prefer that size")

set(GRUMO_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/grumo")
set(GRUMO_INSTALL_EXECDIR "${CMAKE_INSTALL_LIBEXECDIR}/grumo")

install(TARGETS grumo RUNTIME DESTINATION "${GRUMO_INSTALL_EXECDIR}")

# Only what the game opens; the asset generator may leave other files around.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/gfx"
        DESTINATION "${GRUMO_INSTALL_DATADIR}"
        FILES_MATCHING PATTERN "*.bmp")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/sound"
        DESTINATION "${GRUMO_INSTALL_DATADIR}"
        FILES_MATCHING PATTERN "*.wav" PATTERN "*.mp3")

# The launcher finds the rest from its own location, so the tree works under
# any prefix and when staged with DESTDIR.
file(RELATIVE_PATH GRUMO_LAUNCHER_TO_DATA
     "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_DATADIR}/grumo")
file(RELATIVE_PATH GRUMO_LAUNCHER_TO_BINARY
     "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBEXECDIR}/grumo/grumo")
configure_file("${PROJECT_SOURCE_DIR}/packaging/grumo.sh.in"
               "${PROJECT_BINARY_DIR}/packaging/grumo" @ONLY)
install(PROGRAMS "${PROJECT_BINARY_DIR}/packaging/grumo"
        DESTINATION "${CMAKE_INSTALL_BINDIR}")

install(FILES "${PROJECT_SOURCE_DIR}/packaging/grumo.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")

if(EXISTS "${GRUMO_ICON}")
  install(FILES "${GRUMO_ICON}"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps"
          RENAME grumo.png)
  install(FILES "${GRUMO_ICON}"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/pixmaps"
          RENAME grumo.png)
else()
  message(WARNING "No icon at ${GRUMO_ICON}: the install and the package will lack one. "
                  "Set GRUMO_ICON to a 128x128 PNG.")
endif()

if(EXISTS "${GRUMO_ICON_48}")
  install(FILES "${GRUMO_ICON_48}"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps"
          RENAME grumo.png)
endif()

# Debian package: cmake --build <dir> --target package
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME grumo)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Grumo developers <grumo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "one-screen arcade game with a seesaw and balloons")
set(CPACK_PACKAGE_DESCRIPTION
    "Grumo throws a jumper up from a seesaw board to pop the balloons drifting
above. Steer the board with the arrow keys to catch the jumper on its way
down.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps names the packages of the libraries the binary really links
# (a sanitizer build needs more). On Debian 12 libsdl1.2debian is provided by
# sdl12-compat's libsdl1.2-compat-shim.
find_program(GRUMO_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(GRUMO_DPKG_SHLIBDEPS)
if(GRUMO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libsdl1.2debian (>= 1.2.15), libsdl-mixer1.2 (>= 1.2.12), libstdc++6, libgcc-s1, libc6")
endif()
include(CPack)
