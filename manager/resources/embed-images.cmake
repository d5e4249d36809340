# Turns the PNG pictures of the resource library into C++: kvdres_images.cpp with one byte
# array per picture and a table from image id to bytes, sorted by id, and kvdres_images.h
# declaring that table for kvdres.cpp. Run as
#   cmake -DIMAGE_DIR=<folder> -DIMAGES=<name>,<name>,... -DOUTPUT_DIR=<folder>
#         -P embed-images.cmake
# Each name is <id>.png. The names come in on the command line (not globbed here) so that a
# picture added or removed changes the build command and the sources are written again.
cmake_minimum_required(VERSION 3.25)

foreach(_var IMAGE_DIR OUTPUT_DIR)
    if(NOT DEFINED ${_var})
        message(FATAL_ERROR "embed-images: ${_var} is not set")
    endif()
endforeach()

# Writes `content` to `file` only when it differs, so that nothing recompiles needlessly.
function(write_if_changed file content)
    file(WRITE "${file}.tmp" "${content}")
    file(COPY_FILE "${file}.tmp" "${file}" ONLY_IF_DIFFERENT)
    file(REMOVE "${file}.tmp")
endfunction()

string(REPLACE "," ";" _names "${IMAGES}")
# Ascending by number: kvdres_image looks ids up by binary search.
list(SORT _names COMPARE NATURAL)

string(REPEAT "0x..," 16 _sixteen)
set(_arrays "")
set(_entries "")
foreach(_name IN LISTS _names)
    if(NOT _name MATCHES "^([1-9][0-9]*)\\.png$")
        message(FATAL_ERROR "embed-images: ${_name}: a picture is named <id>.png, "
                            "the id a number without leading zeros")
    endif()
    set(_id ${CMAKE_MATCH_1})
    string(LENGTH "${_id}" _id_digits)
    if(_id_digits GREATER 9)
        message(FATAL_ERROR "embed-images: ${_name}: id too large")
    endif()
    file(READ "${IMAGE_DIR}/${_name}" _hex HEX)
    string(SUBSTRING "${_hex}" 0 16 _signature)
    if(NOT _signature STREQUAL "89504e470d0a1a0a")
        message(FATAL_ERROR "embed-images: ${IMAGE_DIR}/${_name} is not a PNG file")
    endif()
    string(LENGTH "${_hex}" _hex_digits)
    math(EXPR _size "${_hex_digits} / 2")
    # 0x.. per byte, sixteen bytes a line.
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_hex}")
    string(REGEX REPLACE "(${_sixteen})" "\\1\n    " _bytes "${_bytes}")
    string(REGEX REPLACE "[ \n]+$" "" _bytes "${_bytes}")
    string(APPEND _arrays
        "// ${_name}, ${_size} bytes\n"
        "constexpr unsigned char kImage${_id}[] = {\n    ${_bytes}\n};\n\n")
    string(APPEND _entries "    {${_id}u, kImage${_id}},\n")
endforeach()

if(_entries STREQUAL "")
    set(_table "constexpr std::span<const ImageEntry> kImages;\n")
else()
    string(CONCAT _table
        "constexpr ImageEntry kImages[] = {\n${_entries}};\n"
        "static_assert(strictlyAscendingIds(kImages), \"image ids out of order or repeated\");\n")
endif()

write_if_changed("${OUTPUT_DIR}/kvdres_images.h"
"// Generated at build time by embed-images.cmake. Do not edit.
#pragma once

#include <span>

namespace kvd::res {

// One picture: the bytes of a PNG file.
struct ImageEntry {
    unsigned id;
    std::span<const unsigned char> png;
};

// The pictures of images/<id>.png, sorted by id, each id once.
std::span<const ImageEntry> imageTable();

} // namespace kvd::res
")

write_if_changed("${OUTPUT_DIR}/kvdres_images.cpp"
"// Generated at build time by embed-images.cmake from the pictures in
// manager/resources/images. Do not edit; change the PNG files and rebuild.
#include \"kvdres_images.h\"

#include \"ResourceTables.h\"

namespace kvd::res {
namespace {

${_arrays}${_table}
} // namespace

std::span<const ImageEntry> imageTable() {
    return kImages;
}

} // namespace kvd::res
")
