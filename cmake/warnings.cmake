# The warnings every target of ours is built with, -Werror included: one
# setting, given by kd_apply_warnings() to each target declared under the
# project's own folders once they all are. GoogleTest keeps its own.
set(KD_WARNINGS -Wall -Wextra -Werror)

function(kd_apply_warnings directory)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(INTERFACE_LIBRARY|UTILITY)$")
            target_compile_options(${target} PRIVATE ${KD_WARNINGS})
        endif()
    endforeach()
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        string(FIND "${subdirectory}/" "${PROJECT_SOURCE_DIR}/" ours)
        if(ours EQUAL 0)
            kd_apply_warnings(${subdirectory})
        endif()
    endforeach()
endfunction()
