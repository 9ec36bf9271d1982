# Builds KelvoDyn.dll a second time, from a copy of the sources at another path
# into another build tree, and requires the same bytes as the tested build; then
# looks for any of those paths in both files. Run by CTest with cmake -P:
#   SOURCE_DIR BINARY_DIR WORK_DIR GENERATOR TOOLCHAIN BUILD_TYPE BUILT_DLL
cmake_minimum_required(VERSION 3.20)

set(copy "${WORK_DIR}/sources-at-another-path")
# The same toolchain file as the tested build, from the copy.
get_filename_component(toolchain "${TOOLCHAIN}" NAME)
set(tree "${WORK_DIR}/build")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${copy}")

# Everything of the checkout but its build trees, its packages and git itself.
file(GLOB entries LIST_DIRECTORIES true "${SOURCE_DIR}/*" "${SOURCE_DIR}/.clang-format")
foreach(entry IN LISTS entries)
    get_filename_component(name "${entry}" NAME)
    string(FIND "${BINARY_DIR}/" "${entry}/" inside)
    if(name MATCHES "^(build.*|dist|\\.git)$" OR inside EQUAL 0)
        continue()
    endif()
    file(COPY "${entry}" DESTINATION "${copy}")
endforeach()

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(failed)
        message(FATAL_ERROR "${what} failed:\n${out}")
    endif()
endfunction()

run("configuring the second build" "${CMAKE_COMMAND}" -S "${copy}" -B "${tree}" -G "${GENERATOR}"
    "-DCMAKE_TOOLCHAIN_FILE=${copy}/cmake/${toolchain}" "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}"
    -DBUILD_TESTING=OFF)
run("building the second KelvoDyn.dll" "${CMAKE_COMMAND}" --build "${tree}" --target KelvoDyn)

set(second "${tree}/bin/KelvoDyn.dll")
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${BUILT_DLL}" "${second}"
                RESULT_VARIABLE differ)
if(differ)
    file(SHA256 "${BUILT_DLL}" first_hash)
    file(SHA256 "${second}" second_hash)
    message(FATAL_ERROR "two builds differ:\n  ${BUILT_DLL} ${first_hash}\n"
                        "  ${second} ${second_hash}")
endif()

foreach(dll IN ITEMS "${BUILT_DLL}" "${second}")
    file(STRINGS "${dll}" texts)
    foreach(path IN ITEMS "${SOURCE_DIR}" "${BINARY_DIR}" "${copy}" "${tree}")
        foreach(text IN LISTS texts)
            string(FIND "${text}" "${path}" at)
            if(NOT at EQUAL -1)
                message(FATAL_ERROR "${dll} holds the build path ${path}: ${text}")
            endif()
        endforeach()
    endforeach()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "two builds give the same KelvoDyn.dll, free of build paths")
