# Turns a CSV data file into a C++ source that holds its text, keeping only
# the columns the program reads (the others, such as the sources of each
# row, would only make the programs larger). Run as a script:
#
#   cmake -DCSV_IN=data/x.csv -DCSV_OUT=x_csv.cc -DSYMBOL=kXCsv
#         -DCOLUMNS=name|other -P embed_csv.cmake
#
# The source defines `extern const char* const SYMBOL[]`: the header line
# and the rows, each with the kept columns in the order COLUMNS names them,
# fields quoted as in the file, one string a line (a single literal would
# pass the length compilers must take), then a null pointer. Every row must have as many fields
# as the header; a row that has not, or a column that the header lacks,
# stops the build with the line it is on.

cmake_minimum_required(VERSION 3.22)

string(REPLACE "|" ";" wanted "${COLUMNS}")
file(READ "${CSV_IN}" text)
string(REPLACE "\r" "" text "${text}")
# CMake lists split at semicolons: they stand in as the unit separator while
# the text is cut into lines and fields.
string(ASCII 31 unit)
string(REPLACE ";" "${unit}" text "${text}")
string(REGEX REPLACE "\n$" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

# Splits one line into its fields, quoted fields kept with their quotes.
# Each field is stored behind a "=" so that no list element is empty (CMake
# drops an empty first element).
function(split_csv_line line lineNumber outVar)
  set(fields "")
  set(rest "${line}")
  while(TRUE)
    if(rest MATCHES "^(\"([^\"]|\"\")*\")(,|$)")
      set(field "${CMAKE_MATCH_1}")
      set(separator "${CMAKE_MATCH_3}")
    elseif(rest MATCHES "^([^,\"]*)(,|$)")
      set(field "${CMAKE_MATCH_1}")
      set(separator "${CMAKE_MATCH_2}")
    else()
      message(FATAL_ERROR "${CSV_IN}:${lineNumber}: a quote that does not enclose a whole field")
    endif()
    list(APPEND fields "=${field}")
    if(separator STREQUAL "")
      break()
    endif()
    string(LENGTH "${field}," taken)
    string(SUBSTRING "${rest}" ${taken} -1 rest)
  endwhile()
  set(${outVar} "${fields}" PARENT_SCOPE)
endfunction()

list(GET lines 0 headerLine)
split_csv_line("${headerLine}" 1 header)
list(LENGTH header columnCount)
set(indices "")
foreach(column IN LISTS wanted)
  list(FIND header "=${column}" index)
  if(index LESS 0)
    message(FATAL_ERROR "${CSV_IN}:1: no column named \"${column}\"")
  endif()
  list(APPEND indices ${index})
endforeach()

set(body "")
set(lineNumber 0)
foreach(line IN LISTS lines)
  math(EXPR lineNumber "${lineNumber} + 1")
  split_csv_line("${line}" ${lineNumber} fields)
  list(LENGTH fields count)
  if(NOT count EQUAL columnCount)
    message(FATAL_ERROR
      "${CSV_IN}:${lineNumber}: ${count} fields where the header has ${columnCount}")
  endif()
  set(kept "")
  foreach(index IN LISTS indices)
    list(GET fields ${index} field)
    list(APPEND kept "${field}")
  endforeach()
  string(REPLACE ";=" "," row "${kept}")
  string(SUBSTRING "${row}" 1 -1 row)
  string(REPLACE "${unit}" ";" row "${row}")
  string(APPEND body "    R\"csv(${row})csv\",\n")
endforeach()

get_filename_component(inputName "${CSV_IN}" NAME)
file(WRITE "${CSV_OUT}.tmp"
  "// Generated from data/${inputName} by cmake/embed_csv.cmake; edit the CSV.\n"
  "extern const char* const ${SYMBOL}[];\n"
  "const char* const ${SYMBOL}[] = {\n${body}    nullptr,\n};\n")
# Rewritten only when the text changes, so nothing rebuilds without need.
file(COPY_FILE "${CSV_OUT}.tmp" "${CSV_OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${CSV_OUT}.tmp")
