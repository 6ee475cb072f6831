# cmake -DKORU=<the built koru> -DWORK=<scratch dir> -P startup_check.cmake
#
# koru without a display, as on a server or in a fresh container: --help
# prints the usage and a mistake one line, both before the toolkit starts;
# with nothing to print it says in one line that there is no display, and
# a display that is named but not there ends the same way, with status 1,
# never an abort.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/run)

# env: extra NAME=VALUE for the environment; args: koru's arguments
function(expect status out_regex err_regex env)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            --unset=WAYLAND_SOCKET --unset=QT_QPA_PLATFORM XDG_RUNTIME_DIR=${WORK}/run ${env}
            ${KORU} ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(JOIN " " what ${env} koru ${ARGN})
  if(NOT rc STREQUAL status OR NOT out MATCHES "${out_regex}" OR NOT err MATCHES "${err_regex}")
    message(SEND_ERROR "${what}: status ${rc} (not ${status})\nout: ${out}\nerr: ${err}")
  endif()
endfunction()

set(none "")
expect(0 "^usage: koru .*--help" "^$" "${none}" --help)
expect(0 "^usage: koru " "^$" "${none}" --zoom 150 -platform xcb -h)
expect(2 "^$" "^koru: unknown option \"--bogus\"\n$" "${none}" --bogus)
expect(2 "^$" "^koru: --zoom takes a whole number from 50 to 400, not \"9999\"\n$" "${none}"
       --zoom 9999)
expect(1 "^$" "^koru: no display: set DISPLAY, or use koru-cli\n$" "${none}")
expect(1 "^$" "^koru: no display: set DISPLAY, or use koru-cli\n$" "${none}" --live a.RT)
expect(1 "^$" "^koru: no display: " "QT_QPA_PLATFORM=xcb" -platform wayland)
# a display named that is not there: the toolkit's words, then koru's line
expect(1 "^$" "\nkoru: the window cannot open here; koru-cli needs none\n$" "DISPLAY=:4242")
