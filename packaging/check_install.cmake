# The install_layout test: installs BUILD_DIR into a fresh PREFIX and checks what a desktop
# and Help > Manual need there: every installed file, that bin/brannox leads to a program
# with Ostrel.pdf beside it, that the installed simulator and command-line programs run and
# their manual pages render without a warning, that the .desktop entry names
# the installed program and icon and passes desktop-file-validate, and that the manual is a
# PDF holding as many images as its source references.
# desktop-file-validate is required when CI=true; elsewhere a missing one is only reported.

function(fail why)
  message(FATAL_ERROR "install_layout: ${why}")
endfunction()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  fail("cmake --install failed:\n${output}")
endif()

set(icons ${DATADIR}/icons/hicolor)
set(desktop_entry ${DATADIR}/applications/brannox.desktop)
set(command_line_programs ostrel-dump ostrel-send)
foreach(file ${BINDIR}/brannox ${BINDIR}/ostrel-sim ${BINDIR}/ostrel-dump ${BINDIR}/ostrel-send
             ${MANDIR}/man1/ostrel-dump.1 ${MANDIR}/man1/ostrel-send.1 ${PROGRAM_DIR}/brannox
             ${PROGRAM_DIR}/Ostrel.pdf ${desktop_entry} ${icons}/scalable/apps/brannox.svg
             ${icons}/48x48/apps/brannox.png ${icons}/256x256/apps/brannox.png)
  if(NOT EXISTS ${PREFIX}/${file})
    fail("${file} was not installed")
  endif()
endforeach()

# Help > Manual opens Ostrel.pdf in the folder of the program file, links resolved.
file(REAL_PATH ${PREFIX}/${BINDIR}/brannox program)
get_filename_component(program_folder ${program} DIRECTORY)
if(NOT EXISTS ${program_folder}/Ostrel.pdf)
  fail("bin/brannox leads to ${program}, which has no Ostrel.pdf beside it")
endif()

execute_process(COMMAND ${PREFIX}/${BINDIR}/ostrel-sim --help
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  fail("the installed ostrel-sim --help failed: ${output}")
endif()

# The command-line programs run without a display, and their pages are valid troff.
find_program(groff groff)
foreach(program IN LISTS command_line_programs)
  execute_process(COMMAND ${PREFIX}/${BINDIR}/${program} --help
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT output MATCHES "^Usage: ${program} ")
    fail("the installed ${program} --help failed: ${output}")
  endif()
  if(groff)
    execute_process(COMMAND ${groff} -man -ww -z ${PREFIX}/${MANDIR}/man1/${program}.1
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0 OR NOT output STREQUAL "")
      fail("the manual page ${program}.1 does not render cleanly:\n${output}")
    endif()
  endif()
endforeach()

file(STRINGS ${PREFIX}/${desktop_entry} exec REGEX "^Exec=")
file(STRINGS ${PREFIX}/${desktop_entry} icon REGEX "^Icon=")
if(NOT exec STREQUAL "Exec=brannox" OR NOT icon STREQUAL "Icon=brannox")
  fail("the .desktop entry should start bin/brannox with the icon brannox: ${exec} ${icon}")
endif()
find_program(desktop_file_validate desktop-file-validate)
if(desktop_file_validate)
  execute_process(COMMAND ${desktop_file_validate} ${PREFIX}/${desktop_entry}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    fail("desktop-file-validate:\n${output}")
  endif()
elseif("$ENV{CI}" STREQUAL "true")
  fail("desktop-file-validate is missing (scripts/install-deps.sh installs desktop-file-utils)")
else()
  message(NOTICE "install_layout: desktop-file-validate not found, .desktop entry not validated")
endif()

# The manual: the installed copy is the built one, a PDF with the manual's images.
file(READ ${PREFIX}/${PROGRAM_DIR}/Ostrel.pdf header LIMIT 5)
if(NOT header MATCHES "^%PDF-")
  fail("Ostrel.pdf is not a PDF")
endif()
file(SHA256 ${PREFIX}/${PROGRAM_DIR}/Ostrel.pdf installed_hash)
file(SHA256 ${BUILT_MANUAL} built_hash)
if(NOT installed_hash STREQUAL built_hash)
  fail("the installed Ostrel.pdf differs from ${BUILT_MANUAL}")
endif()
file(STRINGS ${MANUAL_SOURCE} image_lines REGEX "!\\[[^]]*\\]\\([^)]+\\)")
set(images "")
foreach(line IN LISTS image_lines)
  string(REGEX MATCHALL "!\\[[^]]*\\]\\([^)]+\\)" refs "${line}")
  foreach(ref IN LISTS refs)
    string(REGEX REPLACE "^!\\[[^]]*\\]\\(([^)]+)\\)$" "\\1" path "${ref}")
    list(APPEND images "${path}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES images)
list(LENGTH images expected_images)
file(STRINGS ${BUILT_MANUAL} pdf_images REGEX "/Subtype */Image")
list(LENGTH pdf_images pdf_image_count)
if(expected_images EQUAL 0 OR pdf_image_count LESS expected_images)
  fail("Ostrel.pdf holds ${pdf_image_count} images, the manual references ${expected_images}")
endif()
message(STATUS "install_layout: ${PREFIX} holds the program, the manual with "
               "${pdf_image_count} images, the simulator, the command-line programs with their "
               "manual pages, the .desktop entry and the icons")
