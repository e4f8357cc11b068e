# Builds the layer probes in the build folder BUILD, made by GENERATOR: every probe in SEEING must
# build, and every probe in BLIND (each given as <target>=<header it includes>) must fail because
# its header is not found.

execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target ${SEEING}
                RESULT_VARIABLE seeing_result OUTPUT_VARIABLE seeing_output
                ERROR_VARIABLE seeing_output)
if(NOT seeing_result EQUAL 0)
    message(FATAL_ERROR "A library cannot include a header of a layer it uses:\n${seeing_output}")
endif()

set(blind_targets ${BLIND})
list(TRANSFORM blind_targets REPLACE "=.*" "")
# Keeps going after a failure, so that every probe is tried.
if(GENERATOR STREQUAL "Ninja")
    set(keep_going -k 0)
else()
    set(keep_going -k)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target ${blind_targets} -- ${keep_going}
                OUTPUT_VARIABLE blind_output ERROR_VARIABLE blind_output)
set(failures "")
foreach(probe ${BLIND})
    string(REPLACE "=" ";" probe ${probe})
    list(GET probe 0 target)
    list(GET probe 1 header)
    string(REPLACE "." "\\." header_pattern ${header})
    # GCC: "fatal error: app/scene.h: No such file or directory";
    # clang: "fatal error: 'app/scene.h' file not found".
    if(NOT blind_output MATCHES
       "${target}\\.cpp:1:10: fatal error: '?${header_pattern}'?:? (No such file|file not found)")
        string(APPEND failures "  ${target} includes ${header}\n")
    endif()
endforeach()
if(failures)
    message(FATAL_ERROR "These probes see a folder of a layer their library does not use:\n"
                        "${failures}")
endif()
list(LENGTH SEEING seeing_count)
list(LENGTH BLIND blind_count)
message(STATUS "${seeing_count} libraries see their layers; ${blind_count} includes of the "
               "other layers are not found")
