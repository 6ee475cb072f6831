# cmake -DSRC=<source dir> -DCLI=<koru-cli> -DWORK=<scratch dir> -P guide_check.cmake
#
# docs/guide.md agrees with the program. tools/guide-pictures.sh makes every
# picture afresh from the scenes in docs/scenes, and each is the committed
# one: a PNG dot for dot (both read back through koru-cli display in full
# colour, so another zlib's compression does not count), the GIF byte for
# byte. The script makes exactly the pictures the guide shows; it draws
# every scene of docs/scenes, and koru-cli check finds nothing in any;
# every record the guide prints stands in one of them; and the first scene
# is the one koru-cli new writes.
cmake_minimum_required(VERSION 3.20)

function(fail)
  string(JOIN "" why ${ARGV})
  message(FATAL_ERROR "docs/guide.md: ${why}")
endfunction()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    string(JOIN " " cmd ${ARGN})
    fail("${cmd}: status ${rc}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(docs ${SRC}/docs)
run(bash ${SRC}/tools/guide-pictures.sh --cli ${CLI} ${WORK}/pictures)

# the same pictures, each the same
file(GLOB made RELATIVE ${WORK}/pictures ${WORK}/pictures/*)
file(GLOB kept RELATIVE ${docs}/pictures ${docs}/pictures/*)
list(SORT made)
list(SORT kept)
string(JOIN ", " kept_list ${kept})
if(NOT made STREQUAL kept)
  string(JOIN ", " made_list ${made})
  fail("tools/guide-pictures.sh makes ${made_list}\nbut docs/pictures holds ${kept_list}")
endif()
foreach(name ${made})
  if(name MATCHES "\\.png$")
    foreach(side made kept)
      if(side STREQUAL made)
        set(from ${WORK}/pictures/${name})
      else()
        set(from ${docs}/pictures/${name})
      endif()
      run(${CLI} display ${from} ${WORK}/${side}.bmp --mode 2)
      file(SHA256 ${WORK}/${side}.bmp ${side}_hash)
    endforeach()
  else()
    file(SHA256 ${WORK}/pictures/${name} made_hash)
    file(SHA256 ${docs}/pictures/${name} kept_hash)
  endif()
  if(NOT made_hash STREQUAL kept_hash)
    fail("pictures/${name} is not what tools/guide-pictures.sh makes of its scene now: "
         "run the script and commit the picture, or mend the scene")
  endif()
endforeach()

# the pictures the guide shows
file(READ ${docs}/guide.md guide)
string(REGEX MATCHALL "\\]\\(pictures/[^)]+\\)" links "${guide}")
list(TRANSFORM links REPLACE "\\]\\(pictures/([^)]+)\\)" "\\1")
list(REMOVE_DUPLICATES links)
list(SORT links)
if(NOT links STREQUAL kept)
  string(JOIN ", " links ${links})
  fail("it shows ${links}\nbut docs/pictures holds ${kept_list}")
endif()

# every scene drawn and clean; their lines, for the records below
file(READ ${SRC}/tools/guide-pictures.sh script)
file(GLOB scenes ${docs}/scenes/*.RT)
set(scene_lines "")
foreach(scene ${scenes})
  get_filename_component(name ${scene} NAME_WE)
  if(NOT script MATCHES "[ /]${name}[ .\n]")
    fail("tools/guide-pictures.sh does not draw scenes/${name}.RT")
  endif()
  run(${CLI} check ${scene})
  if(NOT out STREQUAL "")
    fail("koru-cli check scenes/${name}.RT:\n${out}")
  endif()
  file(STRINGS ${scene} lines)
  list(APPEND scene_lines ${lines})
endforeach()

# every record printed, on a line of its own or in `...`, is a scene's
string(REPEAT " -?[0-9.]+" 20 rest)
set(record "-?[0-9.]+${rest}")
string(REPLACE ";" "," text "${guide}")
string(REPLACE "\n" ";" text "${text}")
set(records 0)
foreach(l IN LISTS text)
  string(REGEX MATCHALL "`${record}`" inline "${l}")
  list(TRANSFORM inline REPLACE "`" "")
  if(l MATCHES "^${record}$")
    list(APPEND inline "${l}")
  endif()
  foreach(r IN LISTS inline)
    math(EXPR records "${records} + 1")
    if(NOT r IN_LIST scene_lines)
      fail("the record \"${r}\" is in none of docs/scenes")
    endif()
  endforeach()
endforeach()
if(records LESS 30)
  fail("only ${records} records found: has the layout of the records changed?")
endif()

# the first scene is the new scene
run(${CLI} new)
file(READ ${docs}/scenes/first.RT first)
if(NOT out STREQUAL first)
  fail("scenes/first.RT is not the scene koru-cli new writes")
endif()
