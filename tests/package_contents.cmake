# Packs the release zip as ./run package does, into a folder of its own, and
# checks what a user unpacks: exactly the expected files in one top folder, the
# DLL byte for byte as tested, and the two texts with Windows line ends.
# Run by CTest with cmake -P: CPACK BINARY_DIR WORK_DIR VERSION BUILT_DLL EXPECTED (a list).
cmake_minimum_required(VERSION 3.20)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/unpacked")
execute_process(COMMAND "${CPACK}" --config "${BINARY_DIR}/CPackConfig.cmake" -B "${WORK_DIR}"
                WORKING_DIRECTORY "${BINARY_DIR}" RESULT_VARIABLE failed OUTPUT_VARIABLE out
                ERROR_VARIABLE out)
set(top "KelvoDyn-${VERSION}-win32")
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
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${BUILT_DLL}" "${dir}/KelvoDyn.dll"
                RESULT_VARIABLE differ)
if(differ)
    message(FATAL_ERROR "the packed KelvoDyn.dll is not the one the tests ran")
endif()

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
