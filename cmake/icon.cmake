# The window icon: the jumper's first 17x17 frame, cut from its sheet when the
# build is configured, so that start-up opens no data file before the game.
set(GRUMO_ICON_SHEET "${PROJECT_SOURCE_DIR}/data/gfx/fatman.bmp")
set(GRUMO_ICON_HEADER "${PROJECT_BINARY_DIR}/generated/window_icon.h")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${GRUMO_ICON_SHEET}")
file(READ "${GRUMO_ICON_SHEET}" sheet HEX)

# The little-endian number of `bytes` bytes at `offset` of the sheet.
function(grumo_sheet_number offset bytes out)
  set(hex "")
  foreach(i RANGE 1 ${bytes})
    math(EXPR at "2 * (${offset} + ${bytes} - ${i})")
    string(SUBSTRING "${sheet}" ${at} 2 byte)
    string(APPEND hex ${byte})
  endforeach()
  math(EXPR number "0x${hex}")
  set(${out} ${number} PARENT_SCOPE)
endfunction()

grumo_sheet_number(10 4 pixels)
grumo_sheet_number(18 4 width)
grumo_sheet_number(22 4 height)
grumo_sheet_number(28 2 depth)
grumo_sheet_number(30 4 compression)
if(NOT (depth EQUAL 24 OR depth EQUAL 32) OR NOT compression EQUAL 0 OR width LESS 17
   OR height LESS 17 OR height GREATER 65535)
  message(FATAL_ERROR "${GRUMO_ICON_SHEET}: the icon needs an uncompressed 24- or 32-bit "
                      "bottom-up BMP of at least 17x17 pixels")
endif()
math(EXPR pitch "(${width} * ${depth} / 8 + 3) / 4 * 4")
set(icon "")
foreach(y RANGE 16)
  foreach(x RANGE 16)
    math(EXPR at "${pixels} + (${height} - 1 - ${y}) * ${pitch} + ${x} * ${depth} / 8")
    grumo_sheet_number(${at} 3 colour)
    math(EXPR colour "${colour}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND icon "${colour}, ")
  endforeach()
  string(APPEND icon "\n    ")
endforeach()
file(CONFIGURE OUTPUT "${GRUMO_ICON_HEADER}" CONTENT
     "// Cut from gfx/fatman.bmp by cmake/icon.cmake.\nconst int windowIconSize = 17;\nconst Uint32 windowIcon[] = {\n    ${icon}};\n")
