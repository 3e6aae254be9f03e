# Writes a C++ source defining `NAME` as the bytes of `INPUT` (a text asset).
file(READ "${INPUT}" content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," content "${content}")
file(WRITE "${OUTPUT}" "extern const char* const ${NAME};\nstatic const char ${NAME}Bytes[] = {${content} 0};\nconst char* const ${NAME} = ${NAME}Bytes;\n")
