# cmake -DCLI=koru-cli -DSCENE=x.RT -DMODE=view|stereo -DOUT=x.bmp -P sample_check.cmake
#
# Renders SCENE at 64 x 48 dots and fails unless koru-cli ends with status 0,
# says nothing on stderr (a reader warning would show there), writes a
# 64 x 48 picture, and that picture is not all one colour (a camera looking
# past the scene, or a scene too dark to see, gives a flat picture), and
# koru-cli check finds nothing to report in the scene. The
# same picture must come from one thread, from three, and from the plain
# search.
cmake_minimum_required(VERSION 3.20)
get_filename_component(dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
file(REMOVE ${OUT})
set(args render ${SCENE} ${OUT} --size 64 48)
if(MODE STREQUAL "stereo")
  list(APPEND args --stereo)
endif()
execute_process(COMMAND ${CLI} ${args} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(JOIN " " args ${args})
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "koru-cli ${args}: exit status ${rc}\n${out}${err}")
endif()
if(NOT err STREQUAL "")
  message(FATAL_ERROR "koru-cli ${args}: unexpected output on stderr:\n${err}")
endif()

# 54-byte header, then 48 rows of 64 dots of 3 bytes (192 bytes, no padding)
file(SIZE ${OUT} size)
if(NOT size EQUAL 9270)
  message(FATAL_ERROR "${OUT}: ${size} bytes, expected 9270 for 64 x 48 dots")
endif()
file(READ ${OUT} dots OFFSET 54 HEX)
string(SUBSTRING "${dots}" 0 6 first)
string(REPEAT "${first}" 3072 flat)
if("${dots}" STREQUAL "${flat}")
  message(FATAL_ERROR "${OUT}: every dot is #${first}")
endif()

# nothing for koru-cli check to report
if(MODE STREQUAL "view")
  execute_process(COMMAND ${CLI} check ${SCENE} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "" OR NOT err STREQUAL "")
    message(FATAL_ERROR "koru-cli check ${SCENE}: status ${rc}\n${out}${err}")
  endif()
endif()

# one thread, three threads and the plain search give the same bytes
file(READ ${OUT} all HEX)
set(stereo "")
if(MODE STREQUAL "stereo")
  set(stereo --stereo)
endif()
foreach(way "--threads;1" "--threads;3" "--plain")
  execute_process(COMMAND ${CLI} render ${SCENE} ${OUT}.again --size 64 48 ${way} ${stereo}
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  file(READ ${OUT}.again again HEX)
  if(NOT rc EQUAL 0 OR NOT "${again}" STREQUAL "${all}")
    message(FATAL_ERROR "koru-cli render ${SCENE} ${way} ${stereo}: status ${rc}, "
                        "a picture other than the default one\n${err}")
  endif()
endforeach()
file(REMOVE ${OUT}.again)
