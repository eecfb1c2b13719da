# irwav_embed_text(FILE SYMBOL OUTPUT): writes OUTPUT, a C++ source that
# defines `extern const char SYMBOL[]` as the text of FILE (NUL-terminated),
# and makes CMake configure again when FILE changes. OUTPUT is rewritten
# only when the text changes. So a data file is the program's table without
# being copied by hand.
#
# The text goes in as a list of characters rather than a string literal:
# compilers limit the length of a string literal (MSVC to 64 KiB), not that
# of an array; and read as bytes, the file's quotes, commas and semicolons
# need none of CMake's escaping.
function(irwav_embed_text file symbol output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} bytes HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${bytes}")
  # Sixteen characters a line.
  set(sixteen "")
  foreach(i RANGE 15)
    string(APPEND sixteen "'....',")
  endforeach()
  string(REGEX REPLACE "(${sixteen})" "\\1\n    " IRWAV_EMBEDDED_TEXT "${bytes}")
  file(RELATIVE_PATH IRWAV_EMBEDDED_NAME ${PROJECT_SOURCE_DIR} ${file})
  set(IRWAV_EMBEDDED_SYMBOL ${symbol})
  file(CONFIGURE OUTPUT ${output} @ONLY CONTENT
    "// Generated from @IRWAV_EMBEDDED_NAME@ by cmake/embed_text.cmake.\nextern const char @IRWAV_EMBEDDED_SYMBOL@[];\nconst char @IRWAV_EMBEDDED_SYMBOL@[] = {\n    @IRWAV_EMBEDDED_TEXT@0};\n")
endfunction()
