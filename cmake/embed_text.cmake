# A text file as one string constant of the program, so that a data file is
# the program's table without being copied by hand.
#
# Included, it defines irwav_embed_text(TARGET SYMBOL FILE): TARGET gets a
# generated source defining `extern const char SYMBOL[]`, the bytes of FILE
# (relative to the project), made again whenever FILE changes. Run as a
# script (cmake -DINPUT=.. -DOUTPUT=.. -DSYMBOL=.. -P embed_text.cmake), it
# writes that source. The file is read whole, as bytes, so its commas,
# quotes and semicolons need none of CMake's list escaping.

if(CMAKE_SCRIPT_MODE_FILE)
  # As a list of byte values rather than a string literal: compilers limit
  # the length of a string literal (MSVC to 64 KiB), not that of an array.
  file(READ "${INPUT}" bytes HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${bytes}")
  set(sixteen "")
  foreach(i RANGE 15)
    string(APPEND sixteen "'....',")
  endforeach()
  string(REGEX REPLACE "(${sixteen})" "\\1\n    " bytes "${bytes}")
  get_filename_component(name "${INPUT}" NAME)
  file(WRITE "${OUTPUT}"
    "// Generated from ${name} by cmake/embed_text.cmake; edit the data file instead.\n"
    "extern const char ${SYMBOL}[];\n"
    "const char ${SYMBOL}[] = {\n    ${bytes}0};\n")
  return()
endif()

set(IRWAV_EMBED_TEXT_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(irwav_embed_text target symbol file)
  get_filename_component(stem ${file} NAME_WE)
  string(MAKE_C_IDENTIFIER ${stem} stem)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/embedded_${stem}.cc)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/${file} -DOUTPUT=${output}
            -DSYMBOL=${symbol} -P ${IRWAV_EMBED_TEXT_SCRIPT}
    DEPENDS ${PROJECT_SOURCE_DIR}/${file} ${IRWAV_EMBED_TEXT_SCRIPT}
    COMMENT "Embedding ${file}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
