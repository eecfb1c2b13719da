# Joins the page's ES modules into the one script that the page carries
# (cmake -P bundle.cmake -DOUTPUT=FILE -DMODULES="a.js;b.js;..."), so that
# irwav.html stays a single file that works from file://, where a browser
# loads no module files.
#
# Each module becomes a function scope whose exports are returned as an
# object; an `import { a, b } from './m.js';` line reads them from that
# object. MODULES lists the files with every module after those it imports.
# The modules keep to what this reads: one import statement a line, and
# `export function NAME` or `export const NAME` at the start of a line.

cmake_policy(SET CMP0057 NEW)

if(NOT OUTPUT OR NOT MODULES)
  message(FATAL_ERROR "bundle.cmake: OUTPUT and MODULES are required")
endif()

set(bundle "// The page's modules, joined by src/web/bundle.cmake.\n(function () {\n'use strict';\n")
set(seen "")
foreach(path IN LISTS MODULES)
  get_filename_component(file ${path} NAME)
  string(REGEX REPLACE "\\.js$" "" module ${file})
  string(MAKE_C_IDENTIFIER "module_${module}" variable)
  file(READ ${path} text)

  # The imports, each from a module listed before.
  set(imports "")
  string(REGEX MATCHALL "(^|\n)import {[^}]*} from '[^']*'" statements "${text}")
  foreach(statement IN LISTS statements)
    string(REGEX MATCH "{([^}]*)} from '\\./([^']*)\\.js'" _ "${statement}")
    set(names "${CMAKE_MATCH_1}")
    set(from "${CMAKE_MATCH_2}")
    if(NOT from IN_LIST seen)
      message(FATAL_ERROR "bundle.cmake: ${file} imports ${from}.js, which is not listed before it")
    endif()
    string(MAKE_C_IDENTIFIER "module_${from}" fromVariable)
    string(REPLACE "," ";" names "${names}")
    foreach(name IN LISTS names)
      string(STRIP "${name}" name)
      if(name)
        string(APPEND imports "const ${name} = ${fromVariable}.${name};\n")
      endif()
    endforeach()
  endforeach()
  string(REGEX REPLACE "(^|\n)import {[^}]*} from '[^']*';" "\\1" text "${text}")

  # The exports.
  string(REGEX MATCHALL "(^|\n)export (async function|function|const) [A-Za-z_$][A-Za-z0-9_$]*" declarations "${text}")
  set(exports "")
  foreach(declaration IN LISTS declarations)
    string(REGEX REPLACE ".* " "" name "${declaration}")
    list(APPEND exports "${name}")
  endforeach()
  string(REGEX REPLACE "(^|\n)export " "\\1" text "${text}")
  string(REPLACE ";" ", " exportList "${exports}")

  string(APPEND bundle "\n// ---- ${file}\nconst ${variable} = (function () {\n${imports}${text}\nreturn { ${exportList} };\n})();\n")
  list(APPEND seen ${module})
endforeach()
string(APPEND bundle "})();\n")
file(WRITE ${OUTPUT} "${bundle}")
