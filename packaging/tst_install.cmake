# Installs the build tree into a fresh prefix, checks what the installed tree holds, and runs
# the installed program with no display and a home of its own to convert a comment file.
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
set(home "${WORK_DIR}/home")
file(MAKE_DIRECTORY "${home}")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${rc}):\n${output}")
endif()

set(expected
    "${BINDIR}/qhsy"
    "${LIBDIR}/qhsy/libqhsy_window.so"
    "${LIBDIR}/qhsy/libqhsy_core.so"
    "${DATADIR}/applications/qhsy.desktop"
    "${DATADIR}/mime/packages/qhsy-comment.xml"
    "${DATADIR}/icons/hicolor/256x256/apps/qhsy.png"
    "${DATADIR}/icons/hicolor/256x256/mimetypes/application-x-qhsy-comment.png"
    "${DATADIR}/icons/hicolor/scalable/mimetypes/application-x-qhsy-comment.svg")
file(GLOB_RECURSE data_files RELATIVE "${DATA_SOURCE}" "${DATA_SOURCE}/*")
foreach(file IN LISTS data_files)
    list(APPEND expected "${DATADIR}/qhsy/${file}")
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS "${prefix}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

# Comment files show the comment-file icon under the name the MIME package gives it.
foreach(pair "r.png;256x256/mimetypes/application-x-qhsy-comment.png"
             "r.svg;scalable/mimetypes/application-x-qhsy-comment.svg")
    list(GET pair 0 image)
    list(GET pair 1 themed)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${DATA_SOURCE}/${image}"
                            "${prefix}/${DATADIR}/icons/hicolor/${themed}"
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "the installed ${themed} is not ${image}")
    endif()
endforeach()
file(READ "${prefix}/${DATADIR}/mime/packages/qhsy-comment.xml" package)
if(NOT package MATCHES "<icon name=\"application-x-qhsy-comment\"/>")
    message(FATAL_ERROR "the installed MIME package does not name the comment-file icon")
endif()

set(out "${WORK_DIR}/out.py")
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            "HOME=${home}" "XDG_DATA_HOME=${home}/.local/share" "XDG_CONFIG_HOME=${home}/.config"
            QT_QPA_PLATFORM=offscreen
            "${prefix}/${BINDIR}/qhsy" --resave "${INPUT}" "${out}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "installed qhsy --resave ended with ${rc}:\n${output}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${out}" "${EXPECTED}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the resaved file differs from ${EXPECTED}")
endif()

# The installed program finds its window part: with a platform that does not exist, Qt (started
# by the window part) refuses to run, where a missing window part would be told instead.
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            "HOME=${home}" "XDG_DATA_HOME=${home}/.local/share" "XDG_CONFIG_HOME=${home}/.config"
            QT_QPA_PLATFORM=qhsy-no-such-platform
            "${prefix}/${BINDIR}/qhsy"
    RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(output MATCHES "libqhsy_window" OR NOT output MATCHES "qhsy-no-such-platform")
    message(FATAL_ERROR "the installed qhsy did not start its window part (${rc}):\n${output}")
endif()
