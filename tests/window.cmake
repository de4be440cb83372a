# The game in a real full-screen window on a private X server (Xvfb with
# openbox), played through X key events. Needs xvfb, openbox, xdotool,
# x11-apps, imagemagick and sox. GRUMO_UPDATE_SCREENSHOT=1 in the environment
# also refreshes the README's pictures from this run.
add_test(NAME window
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window/window_test.sh $<TARGET_FILE:grumo>
                 ${GRUMO_DATA_DIR} ${CMAKE_CURRENT_BINARY_DIR}/window ${PROJECT_SOURCE_DIR}/docs)
# The real drivers, not the dummy ones the other tests use; the sanitizer settings stay.
set(GRUMO_WINDOW_ENV ${GRUMO_TEST_ENV})
list(FILTER GRUMO_WINDOW_ENV EXCLUDE REGEX "^SDL_")
if(GRUMO_SANITIZE)
  # The X11 and D-Bus libraries SDL loads at run time leave a few blocks at
  # exit, out of the game's reach; leaks are checked under the dummy drivers.
  list(APPEND GRUMO_WINDOW_ENV ASAN_OPTIONS=detect_leaks=0)
endif()
# Played in real time with fixed key timings: alone, so a busy machine cannot starve it.
set_tests_properties(window PROPERTIES ENVIRONMENT "${GRUMO_WINDOW_ENV}" RUN_SERIAL TRUE
                                       TIMEOUT 90 LABELS slow)
