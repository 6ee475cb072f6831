# cmake -DSRC=<source dir> -DBUILD=<build dir> -DWORK=<scratch dir> -DAPP=ON|OFF
#       -DHARDENED=ON|OFF -DWHAT=layout|deb -P install_check.cmake
#
# layout: `cmake --install` into a fresh prefix lays out the programs, the
#   desktop entry, the AppStream metainfo, the icons, the MIME type of scene
#   files, the thumbnailer, the shell completion, the manual pages
#   (compressed), the changelog and the samples; each validates with its own
#   tool, both manual pages render, the installed koru-cli renders the
#   installed sample, the thumbnailer's line, run exactly as it is written,
#   draws it (and refuses a pipe and a scene that never ends, without
#   hanging), and the completion defines itself.
# deb: `cpack -G DEB` makes a package that holds koru-cli (and the window's
#   desktop entry), depends on what they link, and whose description reads
#   as written; Debian's package checker finds no error and no warning in
#   it, and each informational tag it shows is one HACKING.md names; its
#   programs pass hardening-check (branch protection aside, which Debian 12
#   cannot give).
cmake_minimum_required(VERSION 3.20)
set(id io.github.koru_raytracer.koru)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    string(JOIN " " cmd ${ARGN})
    message(FATAL_ERROR "${cmd}: status ${rc}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

function(need tool)
  find_program(found_${tool} ${tool})
  if(NOT found_${tool})
    message(FATAL_ERROR "${tool} is not installed (tools/deps.sh installs it)")
  endif()
endfunction()

if(WHAT STREQUAL "layout")
  set(p ${WORK}/prefix)
  run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${p})
  set(files bin/koru-cli share/man/man1/koru.1.gz share/man/man1/koru-cli.1.gz
      share/doc/koru/changelog.gz share/koru/samples/room.RT share/koru/samples/README.md
      share/applications/${id}.desktop share/metainfo/${id}.metainfo.xml
      share/mime/packages/${id}.xml share/icons/hicolor/scalable/apps/${id}.svg
      share/icons/hicolor/48x48/apps/${id}.png share/icons/hicolor/256x256/apps/${id}.png
      share/thumbnailers/koru.thumbnailer share/bash-completion/completions/koru-cli
      share/bash-completion/completions/koru)
  if(APP)
    list(APPEND files bin/koru)
  endif()
  foreach(f ${files})
    if(NOT EXISTS ${p}/${f})
      message(FATAL_ERROR "cmake --install did not lay out ${f}")
    endif()
  endforeach()

  foreach(tool desktop-file-validate appstreamcli update-mime-database man)
    need(${tool})
  endforeach()
  run(desktop-file-validate ${p}/share/applications/${id}.desktop)
  run(appstreamcli validate --no-net ${p}/share/metainfo/${id}.metainfo.xml)
  run(update-mime-database ${p}/share/mime)
  # a glob without the ":cs" flag matches in any case: *.RT and *.rt alike
  file(READ ${p}/share/mime/globs2 globs)
  if(NOT globs MATCHES "text/x-koru-scene:\\*\\.rt\n")
    message(FATAL_ERROR "the MIME type does not take *.RT and *.rt:\n${globs}")
  endif()
  foreach(page koru koru-cli)
    set(ENV{MANWIDTH} 80)
    run(man -l ${p}/share/man/man1/${page}.1.gz)
    if(NOT out MATCHES "NAME" OR NOT out MATCHES "SYNOPSIS")
      message(FATAL_ERROR "man ${page}: no NAME or SYNOPSIS\n${out}")
    endif()
  endforeach()
  run(${p}/bin/koru-cli render ${p}/share/koru/samples/room.RT ${WORK}/room.png --size 64 48)
  file(READ ${WORK}/room.png head LIMIT 8 HEX)
  if(NOT head STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "the installed koru-cli did not write a PNG (${head})")
  endif()

  # The thumbnailer: its MIME types are those the installation declares, and
  # its line, run as a file manager runs it (%i the file, %o the picture to
  # write, %s the size; the program found on the PATH), draws the sample.
  file(READ ${p}/share/thumbnailers/koru.thumbnailer entry)
  if(NOT entry MATCHES "^\\[Thumbnailer Entry\\]\n")
    message(FATAL_ERROR "koru.thumbnailer: no [Thumbnailer Entry] group")
  endif()
  foreach(key TryExec Exec MimeType)
    if(NOT entry MATCHES "\n${key}=([^\n]+)")
      message(FATAL_ERROR "koru.thumbnailer: no ${key}")
    endif()
    set(${key} "${CMAKE_MATCH_1}")
  endforeach()
  # the types as a desktop entry lists them, each ended by ";"
  file(READ ${p}/share/mime/packages/${id}.xml mime)
  string(REGEX MATCHALL "<mime-type type=\"[^\"]+\"" declared "${mime}")
  string(REGEX REPLACE "<mime-type type=\"([^\"]+)\";?" "\\1;" declared "${declared}")
  if(NOT MimeType STREQUAL "${declared}")
    message(FATAL_ERROR "koru.thumbnailer: MimeType=${MimeType}, the installation declares ${declared}")
  endif()
  set(ENV{PATH} "${p}/bin:$ENV{PATH}")
  find_program(tryexec ${TryExec} NO_CACHE)
  if(NOT tryexec STREQUAL "${p}/bin/${TryExec}")
    message(FATAL_ERROR "koru.thumbnailer: TryExec ${TryExec} is not the installed program")
  endif()
  function(thumbnail scene out size)
    set(line "${Exec}")
    string(REPLACE "%i" "${scene}" line "${line}")
    string(REPLACE "%o" "${out}" line "${line}")
    string(REPLACE "%s" "${size}" line "${line}")
    separate_arguments(line UNIX_COMMAND "${line}")
    execute_process(COMMAND ${line} RESULT_VARIABLE rc ERROR_VARIABLE err)
    set(rc ${rc} PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
  endfunction()
  thumbnail(${p}/share/koru/samples/room.RT ${WORK}/room-thumb.png 128)
  if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/room-thumb.png)
    message(FATAL_ERROR "the thumbnailer's line: status ${rc}\n${err}")
  endif()
  file(READ ${WORK}/room-thumb.png ihdr OFFSET 12 LIMIT 12 HEX)
  if(NOT ihdr STREQUAL "494844520000008000000060")
    message(FATAL_ERROR "the thumbnailer did not draw a 128 x 96 PNG (IHDR ${ihdr})")
  endif()
  # glass balls nested forty levels deep: two thousand billion rays a dot
  file(WRITE ${WORK}/deep.RT "0 0 0\n0 -1 0\n5 2\n64 48\n1\n0 -3 3 1\n40\n"
    "3 3 0 0.5 0.5 0 10 1.5 0.9 0 1 1 2 2 2 0 0 0 200 200 200\n"
    "3 3 0 0.5 0.5 0 10 1.3 0.9 0 1 1 1 1 1 0 0 0 200 200 200\n-1\n-1\n")
  run(mkfifo ${WORK}/pipe.RT)
  foreach(hostile deep.RT pipe.RT)
    thumbnail(${WORK}/${hostile} ${WORK}/hostile.png 128)
    if(NOT rc EQUAL 1 OR EXISTS ${WORK}/hostile.png)
      message(FATAL_ERROR "the thumbnailer's line on ${hostile}: status ${rc}\n${err}")
    endif()
  endforeach()

  # The completion names its functions for both programs.
  foreach(program koru-cli koru)
    run(bash -c "source ${p}/share/bash-completion/completions/${program} && complete -p ${program}")
    if(NOT out MATCHES "complete -F _koru")
      message(FATAL_ERROR "completions/${program} does not complete ${program}: ${out}")
    endif()
  endforeach()
elseif(WHAT STREQUAL "deb")
  need(dpkg-shlibdeps)
  need(file) # CPack asks it what each program is
  run(cpack -G DEB -B ${WORK} --config ${BUILD}/CPackConfig.cmake)
  file(GLOB debs ${WORK}/*.deb)
  list(LENGTH debs n)
  if(NOT n EQUAL 1)
    message(FATAL_ERROR "cpack made ${n} packages: ${debs}")
  endif()
  run(dpkg-deb -c ${debs})
  set(contents "${out}")
  set(want ./usr/bin/koru-cli ./usr/share/koru/samples/room.RT ./usr/share/doc/koru/copyright
      ./usr/share/thumbnailers/koru.thumbnailer ./usr/share/bash-completion/completions/koru-cli)
  if(APP)
    list(APPEND want ./usr/bin/koru ./usr/share/applications/${id}.desktop)
  endif()
  foreach(f ${want})
    string(FIND "${contents}" " ${f}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the package does not hold ${f}:\n${contents}")
    endif()
  endforeach()
  # the description as written: the summary, then the long text line by line
  run(dpkg-deb -f ${debs} Description)
  if(out MATCHES "\n ;" OR NOT out MATCHES "^[^\n]+\n [^ \n][^\n]*\n [^ \n]")
    message(FATAL_ERROR "the package's description is not as written:\n${out}")
  endif()
  run(dpkg-deb -f ${debs} Depends)
  if(NOT out MATCHES "libc6" OR (APP AND NOT out MATCHES "libqt6widgets6")
     OR (APP AND NOT out MATCHES "libqscintilla2-qt6"))
    message(FATAL_ERROR "the package's Depends do not come from what it links: ${out}")
  endif()

  # Debian's checks, on the build that is shipped (the sanitizer builds
  # are not hardened): no error or warning, only the informational tags
  # HACKING.md lists and justifies ("lintian: TAG")
  if(NOT HARDENED)
    return()
  endif()
  need(lintian)
  need(hardening-check)
  execute_process(COMMAND lintian --display-info --no-tag-display-limit ${debs}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(out MATCHES "(^|\n)[EW]: ")
    message(FATAL_ERROR "lintian finds errors or warnings in the package:\n${out}${err}")
  endif()
  file(READ ${SRC}/HACKING.md hacking)
  string(REGEX MATCHALL "I: [^ ]+: [^ \n]+" infos "${out}")
  foreach(i ${infos})
    string(REGEX REPLACE "I: [^ ]+: " "" tag "${i}")
    string(FIND "${hacking}" "lintian: ${tag}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "lintian shows ${tag}, which HACKING.md does not justify:\n${out}")
    endif()
  endforeach()
  run(dpkg-deb -x ${debs} ${WORK}/root)
  set(programs ${WORK}/root/usr/bin/koru-cli)
  if(APP)
    list(APPEND programs ${WORK}/root/usr/bin/koru)
  endif()
  # every check but branch protection, which no program linked on Debian 12
  # can have: the C library's start-up files are built without it
  # (HACKING.md, The package)
  foreach(prog ${programs})
    execute_process(COMMAND hardening-check --nocfprotection ${prog} RESULT_VARIABLE rc
                    OUTPUT_VARIABLE out)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "hardening-check fails on ${prog}:\n${out}")
    endif()
  endforeach()
endif()
