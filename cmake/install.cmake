# Laid out as Debian's own games are: the game itself in games/ (no launcher:
# the process entry finds the data), its data in share/games/grumo, under any
# prefix.
include(GNUInstallDirs)

set(GRUMO_INSTALL_BINDIR games CACHE STRING "Where the game goes, relative to the prefix")
set(GRUMO_INSTALL_DATADIR "${CMAKE_INSTALL_DATAROOTDIR}/games/grumo"
    CACHE STRING "Where the game's data goes, relative to the prefix")
# Relative, so that a tree installed under another prefix or staged with
# DESTDIR still finds its own data.
file(RELATIVE_PATH GRUMO_DATA_FROM_BINARY "/${GRUMO_INSTALL_BINDIR}" "/${GRUMO_INSTALL_DATADIR}")
target_compile_definitions(grumo PRIVATE GRUMO_DATA_FROM_BINARY="${GRUMO_DATA_FROM_BINARY}")

install(TARGETS grumo RUNTIME DESTINATION "${GRUMO_INSTALL_BINDIR}")
# Only what the game opens; the asset generator may leave other files around.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/gfx" DESTINATION "${GRUMO_INSTALL_DATADIR}"
        FILES_MATCHING PATTERN "*.bmp")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/data/sound" DESTINATION "${GRUMO_INSTALL_DATADIR}"
        FILES_MATCHING PATTERN "*.wav" PATTERN "*.mp3")

# Debian wants the manual page and the changelog compressed, without a time stamp.
function(grumo_gzip source target)
  add_custom_command(OUTPUT "${target}"
                     COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" "${source}" "${target}"
                     DEPENDS "${source}" VERBATIM)
endfunction()
set(GRUMO_PACKAGING "${PROJECT_SOURCE_DIR}/packaging")
file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/packaging")
grumo_gzip("${GRUMO_PACKAGING}/grumo.6" "${PROJECT_BINARY_DIR}/packaging/grumo.6.gz")
grumo_gzip("${GRUMO_PACKAGING}/changelog" "${PROJECT_BINARY_DIR}/packaging/changelog.gz")
add_custom_target(grumo_docs ALL DEPENDS "${PROJECT_BINARY_DIR}/packaging/grumo.6.gz"
                                         "${PROJECT_BINARY_DIR}/packaging/changelog.gz")
install(FILES "${PROJECT_BINARY_DIR}/packaging/grumo.6.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
install(FILES "${PROJECT_BINARY_DIR}/packaging/changelog.gz" "${GRUMO_PACKAGING}/copyright"
        DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/grumo")
install(FILES "${GRUMO_PACKAGING}/grumo.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${GRUMO_PACKAGING}/grumo.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

set(GRUMO_ICONS "${PROJECT_SOURCE_DIR}/data/icons")
foreach(size 48 128)
  install(FILES "${GRUMO_ICONS}/grumo-${size}.png" RENAME grumo.png
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
install(FILES "${GRUMO_ICONS}/grumo-128.png" RENAME grumo.png DESTINATION "${CMAKE_INSTALL_DATADIR}/pixmaps")

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
  string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl1.2debian (>= 1.2.15)"
         "libsdl-mixer1.2 (>= 1.2.12)" "libmpg123-0 (>= 1.26)" "libsndfile1 (>= 1.0.28)"
         "libsamplerate0 (>= 0.1.9)" libstdc++6 libgcc-s1 libc6)
endif()
include(CPack)
