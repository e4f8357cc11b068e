# Writes the bytes of a file into a C++ header as an array: cmake -DINPUT=<file> -DOUTPUT=<header>
# -DNAME=<array name> -P embed_bytes.cmake
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
get_filename_component(source ${INPUT} NAME)
file(WRITE ${OUTPUT}
     "// Made by the build from ${source}.\n#pragma once\n\n"
     "inline constexpr unsigned char ${NAME}[] = {\n    ${bytes}};\n")
