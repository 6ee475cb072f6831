# cmake -DCLI=koru-cli -DLIST=pinned-pictures.txt -DSOURCE=top -DNAME=name -DWORK=dir
#       -P pinned_check.cmake
#
# Renders the picture NAME of LIST (its scene relative to SOURCE, with its
# options) with the plain search and with the accelerated tracer, and fails
# unless both BMP files have the SHA-256 pinned there. A picture that
# differs is left in WORK to look at.
cmake_minimum_required(VERSION 3.20)
file(STRINGS ${LIST} entry REGEX "^${NAME} ")
list(LENGTH entry n)
if(NOT n EQUAL 1)
  message(FATAL_ERROR "${LIST}: ${n} lines for the picture ${NAME}, not one")
endif()
separate_arguments(fields UNIX_COMMAND "${entry}")
list(POP_FRONT fields name pinned scene)
file(MAKE_DIRECTORY ${WORK})
foreach(way plain fast)
  set(out ${WORK}/${NAME}-${way}.bmp)
  file(REMOVE ${out})
  set(args render ${SOURCE}/${scene} ${out} ${fields})
  if(way STREQUAL "plain")
    list(APPEND args --plain)
  endif()
  execute_process(COMMAND ${CLI} ${args} RESULT_VARIABLE rc ERROR_VARIABLE err)
  string(JOIN " " shown ${args})
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "koru-cli ${shown}: exit status ${rc}\n${err}")
  endif()
  file(SHA256 ${out} got)
  if(NOT got STREQUAL pinned)
    message(FATAL_ERROR "koru-cli ${shown}: the picture's SHA-256 is ${got}, pinned ${pinned}.\n"
                        "The pictures changed. If that is meant, run tools/pin-pictures.sh and "
                        "say why in the commit.")
  endif()
  file(REMOVE ${out})
endforeach()
