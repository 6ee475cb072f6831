# Every scene in samples/ must load without a reader warning and render,
# as one view and as a stereo pair, with koru-cli at a small size.
file(GLOB koru_samples CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/samples/*.RT)
foreach(scene ${koru_samples})
  get_filename_component(name ${scene} NAME_WE)
  foreach(mode view stereo)
    add_test(NAME samples.${name}.${mode}
             COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:koru-cli> -DSCENE=${scene}
                     -DMODE=${mode} -DOUT=${CMAKE_CURRENT_BINARY_DIR}/samples/${name}-${mode}.bmp
                     -P ${CMAKE_CURRENT_SOURCE_DIR}/sample_check.cmake)
  endforeach()
endforeach()
