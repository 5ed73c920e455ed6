# Hardening of the optimised builds (Release, RelWithDebInfo, MinSizeRel), as
# Debian builds its own packages:
#   - position-independent executables (-pie), so the loader can place them
#     anywhere;
#   - full RELRO (-z relro -z now): every symbol is bound at start-up and the
#     relocated data is made read-only before main runs;
#   - _FORTIFY_SOURCE=2: checked variants of memcpy, sprintf and friends where
#     the compiler knows the buffer's size (needs optimisation, hence only
#     these builds);
#   - -fstack-protector-strong: a canary in every function with a local array
#     or a local whose address is taken.
# The sanitizer and fuzzing builds keep their own instrumentation instead:
# fortified functions would hide the very overflows ASan is there to report.
option(VELTRA_HARDEN "Harden optimised builds (PIE, full RELRO, fortify, stack protector)" ON)

if(NOT VELTRA_HARDEN OR VELTRA_SANITIZE OR VELTRA_FUZZ)
    return()
endif()

# Executables get -fPIE and -pie. Qt asks for -fPIC on code that uses it and
# adds it after ours, so those objects stay -fPIC, which a PIE accepts too.
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

set(veltra_optimised "$<OR:$<CONFIG:Release>,$<CONFIG:RelWithDebInfo>,$<CONFIG:MinSizeRel>>")
add_compile_options("$<${veltra_optimised}:-fstack-protector-strong>")
add_compile_definitions("$<${veltra_optimised}:_FORTIFY_SOURCE=2>")
add_link_options("$<${veltra_optimised}:LINKER:-z,relro,-z,now>")
unset(veltra_optimised)
