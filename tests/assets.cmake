add_executable(media_test ${CMAKE_CURRENT_LIST_DIR}/media_test.cpp support/test_main.cpp)
target_link_libraries(media_test PRIVATE grumo_core GTest::gtest)
target_compile_definitions(media_test PRIVATE GRUMO_DATA_DIR="${GRUMO_DATA_DIR}")
grumo_discover(media_test)

if(TARGET make_assets)
  # Made again: to the byte, icons to the pixel, music as decoded (MP3 encoders differ a little).
  add_test(NAME assets_reproducible COMMAND sh -c [=[
set -e; rm -rf "$1"; "$2" "$1/data" "$1/icons"; diff -r -x music.mp3 "$3" "$1/data"
for f in "$1"/icons/*; do compare -metric AE "$f" "$4/${f##*/}" null:; echo " ${f##*/}"; done
sox -m -v 1 "$3/sound/music.mp3" -v -1 "$1/data/sound/music.mp3" -n stats 2>&1 |
  awk '/^Pk lev dB/ {print "music differs by", $4, "dBFS"; exit !($4 == "-inf" || $4 < -30)}'
]=] sh ${CMAKE_CURRENT_BINARY_DIR}/assets_remake $<TARGET_FILE:make_assets>
    ${GRUMO_DATA_DIR} ${GRUMO_SOURCE_DIR}/packaging)
endif()
