# cmake -DOBJDUMP=<objdump> -DOBJECTS=<object;...> -P tests/statics_check.cmake
#
# koru-cli keeps no writable static data: its objects define nothing in
# .data, .bss or their thread-local kin (.tdata, .tbss) but what the
# compiler's runtime puts there and the two flags its signal handler sets
# (stop.cpp). Constants (.rodata, and .data.rel.ro, written once when the
# program is loaded) are fine. Prints what each object holds there.
cmake_minimum_required(VERSION 3.20)
if(NOT OBJDUMP OR NOT OBJECTS)
  message(FATAL_ERROR "usage: cmake -DOBJDUMP=<objdump> -DOBJECTS=<object;...> -P statics_check.cmake")
endif()

# the signal handler's flags
set(ours_allowed "^(stop_requested|stop_signal)$")
# the C++ runtime's, and what sanitizers and coverage add
set(runtime "^(DW\\.ref\\.__gxx_personality_v0|\\.L|__asan|___asan|__odr_asan|__ubsan|__sancov|__tsan|__llvm|__profc|__profd)")

set(bad "")
set(allowed "")
list(LENGTH OBJECTS count)
foreach(obj ${OBJECTS})
  get_filename_component(name ${obj} NAME)
  execute_process(COMMAND ${OBJDUMP} -t -C ${obj} OUTPUT_VARIABLE table RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -t ${obj} failed")
  endif()
  string(REPLACE "\n" ";" lines "${table}")
  foreach(line ${lines})
    # VALUE FLAGS SECTION<tab>SIZE NAME; section and file symbols aside
    if(NOT line MATCHES "^[0-9a-f]+ (.......) ([^\t ]+)\t[0-9a-f]+ +(.*)$")
      continue()
    endif()
    set(flags "${CMAKE_MATCH_1}")
    set(section "${CMAKE_MATCH_2}")
    string(REGEX REPLACE "^\\.hidden " "" symbol "${CMAKE_MATCH_3}")
    if(flags MATCHES "[df]" OR NOT section MATCHES "^\\.(data|bss|tdata|tbss)(\\.|$)"
       OR section MATCHES "^\\.data\\.rel\\.ro")
      continue()
    endif()
    if(symbol MATCHES "${runtime}")
      continue()
    elseif(symbol MATCHES "${ours_allowed}")
      list(APPEND allowed "${name}: ${symbol} (${section})")
    else()
      list(APPEND bad "${name}: ${symbol} (${section})")
    endif()
  endforeach()
endforeach()

list(JOIN allowed "\n  " allowed_text)
if(bad)
  list(JOIN bad "\n  " bad_text)
  message(FATAL_ERROR "writable static data in koru-cli's objects:\n  ${bad_text}\n"
                      "Keep state in the command's own objects (the heap for big ones).")
endif()
message(STATUS "koru-cli's ${count} objects hold no writable static data but the signal "
               "handler's flags:\n  ${allowed_text}")
