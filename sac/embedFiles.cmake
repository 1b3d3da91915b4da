# Turns data files into a C++ source of byte arrays, so that the library needs no data file
# at run time. Called at build time:
#   cmake -DOUTPUT=out.cpp -DNAMESPACE=ns -DINPUTS="a.asc|b.asc" -P embedFiles.cmake
# Each file F becomes `extern const unsigned char ns::F_data[]` and `ns::F_size`, with the
# file name's dots and dashes turned into underscores.
string(REPLACE "|" ";" INPUTS "${INPUTS}")
set(source "// Generated from the data files by embedFiles.cmake; do not edit.\n#include <cstddef>\nnamespace ${NAMESPACE} {\n")
foreach(input IN LISTS INPUTS)
    get_filename_component(name "${input}" NAME)
    string(MAKE_C_IDENTIFIER "${name}" symbol)
    file(READ "${input}" hex HEX)
    string(LENGTH "${hex}" hexLength)
    math(EXPR size "${hexLength} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
    string(APPEND source "extern const unsigned char ${symbol}_data[] = {\n${bytes}0x00};\n")
    string(APPEND source "extern const std::size_t ${symbol}_size = ${size};\n")
endforeach()
string(APPEND source "} // namespace ${NAMESPACE}\n")
file(WRITE "${OUTPUT}.tmp" "${source}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
