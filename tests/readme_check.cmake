# cmake -DSRC=<source dir> -DBUILD=<build dir> -DKORU=<the built koru> -DTARGET=<its target>
#       -P readme_check.cmake
#
# The README's commands for a fresh machine agree with the project: the
# administrator's apt-get line names exactly the packages tools/deps.sh
# installs; the first command installs them, builds the window's target
# alone and starts the program it builds, with options koru takes and a
# sample that is there; the test command is ./test.sh, which installs them
# too.
cmake_minimum_required(VERSION 3.20)

function(fail)
  string(JOIN "" why ${ARGV})
  message(FATAL_ERROR "README.md: ${why}")
endfunction()

# The README's indented lines, a command continued with "\" joined into
# one. (What would split a CMake list otherwise, ";" and "[ ]", is made
# harmless first; the commands have none.)
file(READ ${SRC}/README.md text)
string(REPLACE "\\\n" " " text "${text}")
string(REGEX REPLACE "[][;]" "_" text "${text}")
string(REPLACE "\n" ";" lines "${text}")
set(commands "")
foreach(l IN LISTS lines)
  if(l MATCHES "^    ")
    string(STRIP "${l}" l)
    string(REGEX REPLACE "  +" " " l "${l}")
    list(APPEND commands "${l}")
  endif()
endforeach()

# The administrator's line against tools/deps.sh's list
set(admin "")
foreach(c IN LISTS commands)
  if(c MATCHES "^apt-get install ")
    set(admin "${c}")
    break()
  endif()
endforeach()
if(admin STREQUAL "")
  fail("no administrator's line (apt-get install ...)")
endif()
separate_arguments(named UNIX_COMMAND "${admin}")
list(FILTER named EXCLUDE REGEX "^(apt-get|install|-.*)$")
execute_process(COMMAND bash ${SRC}/tools/deps.sh --list RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0)
  fail("tools/deps.sh --list: status ${rc}")
endif()
string(STRIP "${out}" out)
string(REPLACE "\n" ";" listed "${out}")
set(only_readme ${named})
list(REMOVE_ITEM only_readme ${listed})
set(only_script ${listed})
list(REMOVE_ITEM only_script ${named})
if(only_readme OR only_script)
  fail("the administrator's line and tools/deps.sh differ:\n"
       "  only in the README: ${only_readme}\n  only in tools/deps.sh: ${only_script}")
endif()

# The first command: install, configure, build the window alone, start it
file(RELATIVE_PATH program ${BUILD} ${KORU})
set(shape "tools/deps.sh && cmake -S . -B build ... && cmake --build build --target ${TARGET} && build/${program} ARGS")
string(REPLACE "." "\\." pattern "${shape}")
string(REPLACE " \\.\\.\\." "[^&]*" pattern "${pattern}")
string(REPLACE "ARGS" "(.*)" pattern "${pattern}")
set(first "")
foreach(c IN LISTS commands)
  if(c MATCHES "^${pattern}$")
    set(first "${CMAKE_MATCH_1}")
  endif()
endforeach()
if(first STREQUAL "")
  fail("no first command of the shape \"${shape}\"")
endif()
separate_arguments(args UNIX_COMMAND "${first}")
list(GET args -1 scene)
if(NOT EXISTS ${SRC}/${scene})
  fail("the first command opens ${scene}, which is not there")
endif()
# --help at the end: the status is 0 only if the options before it parse
execute_process(COMMAND ${KORU} ${args} --help RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  fail("koru does not take the first command's options: ${err}")
endif()

# The test command
if(NOT "./test.sh" IN_LIST commands)
  fail("no test command ./test.sh")
endif()
