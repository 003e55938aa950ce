# The program in the build folder keeps everything beside itself. Installed into a staging root
# as a package build does (DESTDIR, prefix /usr) and started from there with an empty home, it
# finds its own files there and names the player's folders for its saves and settings.
#
# cmake -DBUILD_DIR=... -DBUILT_PROGRAM=... -DSOURCE_DIR=... -DSTAGE=... -DBINDIR=bin
#       -DDATADIR=share -DPROGRAM=... -DAPP_ID=... -DICON_SIZES=... -P install_test.cmake

function(fail)
    message(FATAL_ERROR ${ARGN})
endfunction()

function(expect_line output line)
    string(FIND "${output}" "${line}\n" at)
    if(at EQUAL -1)
        fail("expected the line\n  ${line}\nin\n${output}")
    endif()
endfunction()

execute_process(COMMAND ${BUILT_PROGRAM} --folders RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    fail("the program in the build folder reports missing files (${rc}):\n${out}${err}")
endif()
expect_line("${out}" "layout    portable")
expect_line("${out}" "saves     ${BUILD_DIR}/Save")

file(REMOVE_RECURSE ${STAGE})
set(root ${STAGE}/root)
set(home ${STAGE}/home)
file(MAKE_DIRECTORY ${home})
set(ENV{DESTDIR} ${root})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    fail("cmake --install failed: ${rc}")
endif()

set(exe ${root}/usr/${BINDIR}/${PROGRAM})
set(share ${root}/usr/${DATADIR})
set(data ${share}/${PROGRAM})
foreach(f ${exe} ${data}/quix.hlp ${data}/congratu.wav
        ${share}/applications/${APP_ID}.desktop ${share}/metainfo/${APP_ID}.metainfo.xml)
    if(NOT EXISTS ${f})
        fail("not installed: ${f}")
    endif()
endforeach()
foreach(size ${ICON_SIZES})
    if(NOT EXISTS ${share}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
        fail("no ${size} px icon installed")
    endif()
endforeach()
file(GLOB_RECURSE markers ${root}/*portable.txt)
if(markers)
    fail("the portable marker was installed: ${markers}")
endif()

# The installed program, with a home of its own and nothing else telling it where to look.
set(run ${CMAKE_COMMAND} -E env --unset=XDG_DATA_HOME --unset=XDG_CONFIG_HOME --unset=XDG_DATA_DIRS
    HOME=${home} QT_QPA_PLATFORM=offscreen ${exe} --folders)
execute_process(COMMAND ${run} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    fail("the installed program reports missing files (${rc}):\n${out}${err}")
endif()
file(GLOB samples ${SOURCE_DIR}/res/samples/*)
list(LENGTH samples sampleCount)
expect_line("${out}" "layout    installed")
expect_line("${out}" "help      ${data}/quix.hlp")
expect_line("${out}" "sound     ${data}/congratu.wav")
expect_line("${out}" "pictures  ${data}/pictures (${sampleCount} pictures)")
expect_line("${out}" "saves     ${home}/.local/share/${PROGRAM}/Save")
expect_line("${out}" "autosave  ${home}/.local/share/${PROGRAM}/Autosave/")
expect_line("${out}" "settings  ${home}/.config/${PROGRAM}/")

# Without its files beside it the program says so.
file(RENAME ${data} ${data}.away)
execute_process(COMMAND ${run} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_QUIET)
if(rc EQUAL 0)
    fail("missing files were not reported:\n${out}")
endif()
expect_line("${out}" "help      ${root}/usr/${BINDIR}/quix.hlp (missing)")

# The menu entry and the software centre's description, as installed.
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${share}/applications/${APP_ID}.desktop
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
        fail("desktop-file-validate:\n${out}${err}")
    endif()
else()
    message(STATUS "desktop-file-validate not found: desktop entry not validated")
endif()
if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --no-color
        ${share}/metainfo/${APP_ID}.metainfo.xml
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        fail("appstreamcli validate:\n${out}${err}")
    endif()
else()
    message(STATUS "appstreamcli not found: AppStream metadata not validated")
endif()

file(REMOVE_RECURSE ${STAGE})
