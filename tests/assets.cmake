# The asset contract: the committed pictures and sounds under data/, and, when
# the generator is built, that it still makes them byte for byte.
add_executable(assets_test ${CMAKE_CURRENT_LIST_DIR}/assets_test.cpp support/test_main.cpp)
target_link_libraries(assets_test PRIVATE grumo_core GTest::gtest)
target_compile_definitions(assets_test PRIVATE GRUMO_DATA_DIR="${GRUMO_DATA_DIR}"
                                               GRUMO_ICON_DIR="${GRUMO_SOURCE_DIR}/packaging")
grumo_discover(assets_test)

if(TARGET make_assets)
  # diff -r fails on a changed, missing or extra file; the icons share their
  # folder with other packaging files, so only those made are compared.
  set(remake_script [=[
set -e
out=$1 gen=$2 data=$3 icons=$4
rm -rf "$out"
"$gen" "$out/data" "$out/icons"
diff -r "$data" "$out/data"
for f in "$out"/icons/*; do cmp "$f" "$icons/${f##*/}"; done
]=])
  add_test(NAME assets_reproducible
           COMMAND sh -c "${remake_script}" sh ${CMAKE_CURRENT_BINARY_DIR}/assets_remake
                   $<TARGET_FILE:make_assets> ${GRUMO_DATA_DIR} ${GRUMO_SOURCE_DIR}/packaging)
endif()
