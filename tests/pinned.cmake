# The pinned pictures (pinned-pictures.txt), one test each: listed when
# CMake configures, and again whenever the list changes.
set(koru_pinned ${CMAKE_CURRENT_SOURCE_DIR}/pinned-pictures.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${koru_pinned})
file(STRINGS ${koru_pinned} koru_pinned_lines REGEX "^[^# ]")
foreach(line ${koru_pinned_lines})
  string(REGEX MATCH "^[^ ]+" name "${line}")
  add_test(NAME pinned.${name}
           COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:koru-cli> -DLIST=${koru_pinned}
                   -DSOURCE=${PROJECT_SOURCE_DIR} -DNAME=${name}
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/pinned -P ${CMAKE_CURRENT_SOURCE_DIR}/pinned_check.cmake)
endforeach()
