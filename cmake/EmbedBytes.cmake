# cmake -DIN=FILE -DOUT=FILE.cpp -DFUNCTION=NAME -DHEADER=path/to/header.h -P EmbedBytes.cmake
# Writes a C++ source whose function NAME (namespace nova) returns the bytes of IN as a span.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUT}.tmp"
  "// Generated from ${IN} by cmake/EmbedBytes.cmake; do not edit.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace nova {\n\n"
  "namespace {\n"
  "const uint8_t kBytes[${byte_count} + 1] = {\n    ${bytes}0};\n"
  "}  // namespace\n\n"
  "std::span<const uint8_t> ${FUNCTION}() { return {kBytes, ${byte_count}}; }\n\n"
  "}  // namespace nova\n")
configure_file("${OUT}.tmp" "${OUT}" COPYONLY)
file(REMOVE "${OUT}.tmp")
