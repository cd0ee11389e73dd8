# Turns every controls/declarations/*.txt into a byte array of a generated C++
# source, so the table declarations ship inside the library.
# Usage: cmake -DINPUT_DIR=<dir> -DOUTPUT=<file.cpp> -P EmbedDeclarations.cmake
file(GLOB inputs "${INPUT_DIR}/*.txt")
list(SORT inputs)
set(arrays "")
set(entries "")
set(count 0)
foreach(input IN LISTS inputs)
  get_filename_component(name "${input}" NAME_WE)
  file(READ "${input}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char text${count}[] = {${bytes}0x00};\n")
  string(APPEND entries "    {\"${name}\", reinterpret_cast<const char*>(text${count}), ${size}},\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "No table declarations in ${INPUT_DIR}")
endif()
file(WRITE "${OUTPUT}.tmp"
"// Generated from controls/declarations by EmbedDeclarations.cmake. Do not edit.
#include \"Declarations.h\"

namespace pavrin::controls::detail {

namespace {
${arrays}} // namespace

const DeclarationFile kDeclarationFiles[] = {
${entries}};
const std::size_t kDeclarationFileCount = ${count};

} // namespace pavrin::controls::detail
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
