# Everything that differs between the 32-bit (x86) and the 64-bit (x64) build
# of the product, in one place: the sources are the same for both (the tests'
# probes of each calling convention are chosen by tests/plugin/CMakeLists.txt
# and tests/bench/CMakeLists.txt, by KD_ARCH). The one difference in code,
# widening the block's 32-bit hwnd field into a window handle, is a single
# function in src/monitor_link/window_handle.h.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(KD_ARCH x86)
    set(KD_OTHER_ARCH x64)
    # The entry routine is __stdcall: its symbol carries the 12 bytes of arguments.
    set(KD_DLL_ENTRY _DllMain@12)
    # SSE2 arithmetic for everything of ours, as every 32-bit Windows machine
    # of this century has it: the x87 unit would hold intermediates in
    # extended precision, so a product exactly at a limit in double (a tick
    # spacing, a rounding edge) could land on the other side of it, and the
    # two builds would compute different answers. For the DLL it also means a
    # float is already rounded to single precision when it is returned in the
    # x87 register.
    add_compile_options(-msse2 -mfpmath=sse)
    set(KD_DLL_ARCH_CODEGEN
        -msse2 -mfpmath=sse
        # Hosts only promise a 4-byte aligned stack on 32-bit Windows; nothing
        # here needs more, so no function realigns it.
        -mincoming-stack-boundary=2 -mpreferred-stack-boundary=2
        # 32-bit Windows unwinds without tables; DWARF ones would only add bytes.
        -fno-asynchronous-unwind-tables)
    set(KD_DLL_ARCH_LINK "")
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KD_ARCH x64)
    set(KD_OTHER_ARCH x86)
    # One calling convention and no decoration on x64. Floats come back in
    # XMM0 and the stack is 16-byte aligned by the platform's own rule. The
    # unwind tables stay: 64-bit Windows needs them to walk a host's stack
    # through the module (exceptions, crash dumps).
    set(KD_DLL_ENTRY DllMain)
    set(KD_DLL_ARCH_CODEGEN "")
    set(KD_DLL_ARCH_LINK -Wl,--high-entropy-va)
else()
    message(FATAL_ERROR "KelvoDyn builds for 32-bit or 64-bit Windows only")
endif()
