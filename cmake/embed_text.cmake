# irwav_embed_text(FILE SYMBOL OUTPUT): writes OUTPUT, a C++ source that
# defines `extern const char SYMBOL[]` as the text of FILE, and makes CMake
# configure again when FILE changes. OUTPUT is rewritten only when the
# text changes.
function(irwav_embed_text file symbol output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} IRWAV_EMBEDDED_TEXT)
  file(RELATIVE_PATH IRWAV_EMBEDDED_NAME ${PROJECT_SOURCE_DIR} ${file})
  set(IRWAV_EMBEDDED_SYMBOL ${symbol})
  file(CONFIGURE OUTPUT ${output} @ONLY CONTENT
    "// Generated from @IRWAV_EMBEDDED_NAME@ by cmake/embed_text.cmake.\nextern const char @IRWAV_EMBEDDED_SYMBOL@[];\nconst char @IRWAV_EMBEDDED_SYMBOL@[] = R\"embedded(@IRWAV_EMBEDDED_TEXT@)embedded\";\n")
endfunction()
