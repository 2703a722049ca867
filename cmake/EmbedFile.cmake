# Writes a C++ source that holds a file's bytes:
#   cmake -DIN=FILE -DOUT=FILE.cpp -DNAME=Symbol -P EmbedFile.cmake
# defines `const unsigned char Symbol[]` and `const std::size_t SymbolSize`.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUT}.new"
  "// Made from ${IN} by cmake/EmbedFile.cmake at build time.\n"
  "#include <cstddef>\n"
  "extern const unsigned char ${NAME}[] = {${bytes}};\n"
  "extern const std::size_t ${NAME}Size = ${size};\n")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
