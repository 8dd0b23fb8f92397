# Writes a file's bytes as a C++ array: cmake -DIN=file -DOUT=file.cpp -DSYMBOL=name -P embed_bytes.cmake
# Defines `extern const unsigned char SYMBOL[]` and `extern const unsigned long SYMBOL_size`.
file(READ "${IN}" _hex HEX)
string(LENGTH "${_hex}" _len)
math(EXPR _bytes "${_len} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _body "${_hex}")
file(WRITE "${OUT}" "// Generated at build time from ${IN}; do not edit.\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const unsigned long ${SYMBOL}_size;\n"
  "const unsigned char ${SYMBOL}[] = {${_body}};\n"
  "const unsigned long ${SYMBOL}_size = ${_bytes}UL;\n")
