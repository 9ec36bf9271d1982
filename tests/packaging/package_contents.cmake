# Packs the release zip as ./run package does, into a folder of its own, and
# checks what a user unpacks: exactly the expected files in one top folder,
# each bitness's DLL byte for byte as its build tested it, and the two texts
# with Windows line ends. Run by CTest with cmake -P: CPACK BINARY_DIR WORK_DIR
# PACKAGE (the zip's name) BUILT_DLLS (a list of ARCH=PATH) EXPECTED (a list).
cmake_minimum_required(VERSION 3.20)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/unpacked")
execute_process(COMMAND "${CPACK}" --config "${BINARY_DIR}/CPackConfig.cmake" -B "${WORK_DIR}"
                WORKING_DIRECTORY "${BINARY_DIR}" RESULT_VARIABLE failed OUTPUT_VARIABLE out
                ERROR_VARIABLE out)
set(top "${PACKAGE}")
set(zip "${WORK_DIR}/${top}.zip")
if(failed OR NOT EXISTS "${zip}")
    message(FATAL_ERROR "cpack did not make ${zip}:\n${out}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${zip}"
                WORKING_DIRECTORY "${WORK_DIR}/unpacked" RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot unpack ${zip}")
endif()
file(GLOB_RECURSE unpacked RELATIVE "${WORK_DIR}/unpacked" "${WORK_DIR}/unpacked/*")
list(TRANSFORM EXPECTED PREPEND "${top}/")
list(SORT unpacked)
list(SORT EXPECTED)
if(NOT unpacked STREQUAL EXPECTED)
    message(FATAL_ERROR "the zip holds\n  ${unpacked}\ninstead of\n  ${EXPECTED}")
endif()

set(dir "${WORK_DIR}/unpacked/${top}")
foreach(pair IN LISTS BUILT_DLLS)
    string(REGEX MATCH "^([^=]+)=(.*)$" matched "${pair}")
    set(packed "${dir}/${CMAKE_MATCH_1}/KelvoDyn.dll")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${CMAKE_MATCH_2}" "${packed}"
                    RESULT_VARIABLE differ)
    if(differ)
        message(FATAL_ERROR "the packed ${CMAKE_MATCH_1}/KelvoDyn.dll is not the one tested")
    endif()
endforeach()

# Byte by byte in hex ("0d 0a"): file(READ) as text would drop the CRs.
foreach(text IN ITEMS INSTALL.txt KelvoDyn.ini.sample)
    file(READ "${dir}/${text}" content HEX)
    string(REGEX REPLACE "(..)" " \\1" bytes "${content}")
    string(REGEX MATCHALL " 0d 0a" crlf "${bytes}")
    string(REGEX MATCHALL " 0a" lf "${bytes}")
    list(LENGTH crlf crlf)
    list(LENGTH lf lf)
    if(crlf EQUAL 0 OR NOT crlf EQUAL lf)
        message(FATAL_ERROR "${text}: ${crlf} of ${lf} line ends are CR LF")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "${top}.zip holds ${unpacked}")
