# Installs the build into a temporary prefix and checks what a desktop and a user get: the files in
# their places, the installed command-line program running and finding INIT.ZIP in share/pfannola,
# a desktop entry and metainfo that the freedesktop validators accept.
# Arguments: BUILD_DIR, PREFIX, APP_ID, VERSION.

function(check_run)
    cmake_parse_arguments(ARG "" "WHAT;OUTPUT" "COMMAND" ${ARGN})
    execute_process(COMMAND ${ARG_COMMAND} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${ARG_WHAT} failed (${rc}):\n${out}\n${err}")
    endif()
    if(ARG_OUTPUT)
        set(${ARG_OUTPUT} "${out}" PARENT_SCOPE)
    endif()
endfunction()

function(require_tool var name package)
    find_program(${var} ${name})
    if(NOT ${var})
        message(FATAL_ERROR "${name} is missing: install the Debian package ${package} (scripts/setup)")
    endif()
endfunction()

require_tool(DESKTOP_VALIDATE desktop-file-validate desktop-file-utils)
require_tool(APPSTREAMCLI appstreamcli appstream)

file(REMOVE_RECURSE ${PREFIX})
check_run(WHAT "cmake --install" COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})

set(share ${PREFIX}/share)
foreach(file
        bin/pfannola
        bin/pfannola-cli
        share/pfannola/INIT.ZIP
        share/pfannola/hilfe/index.html
        share/pfannola/hilfe/pfannola.css
        share/applications/${APP_ID}.desktop
        share/metainfo/${APP_ID}.metainfo.xml
        share/mime/packages/${APP_ID}.xml
        share/icons/hicolor/scalable/apps/pfannola.svg
        share/icons/hicolor/16x16/apps/pfannola.png
        share/icons/hicolor/48x48/apps/pfannola.png
        share/icons/hicolor/256x256/apps/pfannola.png)
    if(NOT EXISTS ${PREFIX}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
if(EXISTS ${PREFIX}/bin/INIT.ZIP)
    message(FATAL_ERROR "INIT.ZIP belongs in share/pfannola, not in bin")
endif()

# The installed program runs in a home of its own, so no settings of the person running the tests
# are read or written.
set(home ${PREFIX}/home)
file(MAKE_DIRECTORY ${home})
set(ENV{HOME} ${home})
set(ENV{XDG_CONFIG_HOME} ${home}/.config)
set(ENV{XDG_DATA_HOME} ${home}/.local/share)

string(REPLACE "." ";" parts ${VERSION})
list(GET parts 0 major)
list(GET parts 1 minor)
list(GET parts 2 revision)
string(LENGTH "${minor}" length)
if(length LESS 2)
    set(minor "0${minor}")
endif()
string(LENGTH "${revision}" length)
while(length LESS 3)
    set(revision "0${revision}")
    string(LENGTH "${revision}" length)
endwhile()
check_run(WHAT "pfannola-cli --version" COMMAND ${PREFIX}/bin/pfannola-cli --version OUTPUT version)
if(NOT version MATCHES "v${major}\\.${minor}\\.${revision}")
    message(FATAL_ERROR "pfannola-cli --version printed '${version}', expected v${major}.${minor}.${revision}")
endif()
# A new database comes from the INIT.ZIP of share/pfannola, also when the program is started by
# its bare name through PATH, as a user types it.
check_run(WHAT "pfannola-cli init" COMMAND ${CMAKE_COMMAND} -E env "PATH=${PREFIX}/bin:$ENV{PATH}"
    pfannola-cli --db ${home}/Test.MDB init)
check_run(WHAT "pfannola-cli info" COMMAND ${PREFIX}/bin/pfannola-cli --db ${home}/Test.MDB info OUTPUT info)
if(NOT info MATCHES "[1-9]")
    message(FATAL_ERROR "the new database has no base data:\n${info}")
endif()

check_run(WHAT "desktop-file-validate" COMMAND ${DESKTOP_VALIDATE} ${share}/applications/${APP_ID}.desktop)
check_run(WHAT "appstreamcli validate"
    COMMAND ${APPSTREAMCLI} validate --no-net ${share}/metainfo/${APP_ID}.metainfo.xml)
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
    check_run(WHAT "update-mime-database" COMMAND ${UPDATE_MIME} ${share}/mime)
    file(READ ${share}/mime/globs2 globs)
    if(NOT globs MATCHES "application/x-mensax\\+xml:\\*\\.mnx" OR NOT globs MATCHES "text/x-meal-master:\\*\\.mmf")
        message(FATAL_ERROR "the recipe file types are missing from the MIME database:\n${globs}")
    endif()
endif()
file(REMOVE_RECURSE ${PREFIX})
