# How a DLL without any C runtime is compiled and linked: the plug-in and the
# benchmark's reference DLL, which must be built alike for the benchmark to
# compare like with like. What only one bitness needs is in cmake/bitness.cmake.
function(kd_runtime_free_dll target)
    # Code generation, given to the compiler and again to the link, where
    # link-time optimisation generates the code.
    set(codegen
        # Whole-module optimisation folds the small per-call helpers into the
        # exports, which cost little more than the IsWindow call they must make.
        -O2 -flto
        ${KD_DLL_ARCH_CODEGEN}
        -ffreestanding -fno-stack-protector -fno-ident)
    set_target_properties(${target} PROPERTIES PREFIX "")
    target_compile_options(${target} PRIVATE ${codegen})
    target_link_options(${target} PRIVATE
        ${codegen}
        -nostdlib -nostartfiles -Wl,-e,${KD_DLL_ENTRY}
        -Wl,--dynamicbase -Wl,--nxcompat ${KD_DLL_ARCH_LINK} -Wl,--no-insert-timestamp
        # No symbol table: a release carries nothing the loader does not need.
        -Wl,--strip-all
        -Wl,-Map=${CMAKE_BINARY_DIR}/${target}.map)
    # Import libraries such a module may use, and libgcc for compiler helpers.
    target_link_libraries(${target} PRIVATE kernel32 user32 gcc)
endfunction()
