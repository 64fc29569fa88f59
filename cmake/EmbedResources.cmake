# Turns every file of a folder into bytes compiled into the library, so the
# library ships its bar definitions, catalogues and bitmaps inside the .so
# and needs no files beside it. Run as a script: -DIN_DIR= -DOUT_FILE=
# [-DNAMESPACE=] (a program embedding its own files names another namespace
# so its table does not interpose the library's). Writes X.h beside X.cpp.
if(NOT NAMESPACE)
  set(NAMESPACE tavixTGCL2::detail)
endif()
file(GLOB files RELATIVE ${IN_DIR} ${IN_DIR}/*)
list(SORT files)
set(body "")
set(table "")
set(i 0)
foreach(f ${files})
  if(IS_DIRECTORY ${IN_DIR}/${f})
    continue()
  endif()
  file(READ ${IN_DIR}/${f} hex HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR size "${hexlen} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "static const unsigned char r${i}[] = {${bytes}0x00};\n")
  string(APPEND table "    {\"${f}\", r${i}, ${size}},\n")
  math(EXPR i "${i} + 1")
endforeach()
# The record and the table's declaration go into a header beside the
# source (X.cpp gives X.h), which the reader includes, so the one shape is
# written here and nowhere else.
string(REGEX REPLACE "\\.cpp$" ".h" OUT_HEADER "${OUT_FILE}")
get_filename_component(header_name ${OUT_HEADER} NAME)
file(WRITE ${OUT_HEADER}.tmp
"// Generated from ${IN_DIR}; do not edit.
#pragma once
#include <cstddef>
#include <span>
namespace ${NAMESPACE} {
struct EmbeddedResource { const char* name; const unsigned char* data; std::size_t size; };
extern const EmbeddedResource kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;
inline std::span<const EmbeddedResource> embeddedResources() { return {kEmbeddedResources, kEmbeddedResourceCount}; }
}
")
file(WRITE ${OUT_FILE}.tmp
"// Generated from ${IN_DIR}; do not edit.\n#include \"${header_name}\"\nnamespace ${NAMESPACE} {\n${body}\nconst EmbeddedResource kEmbeddedResources[] = {\n${table}    {nullptr, nullptr, 0}};\nconst std::size_t kEmbeddedResourceCount = ${i};\n}\n")
file(COPY_FILE ${OUT_HEADER}.tmp ${OUT_HEADER} ONLY_IF_DIFFERENT)
file(COPY_FILE ${OUT_FILE}.tmp ${OUT_FILE} ONLY_IF_DIFFERENT)
