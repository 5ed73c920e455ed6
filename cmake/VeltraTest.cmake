# veltra_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
#
# One Qt Test executable registered with CTest. Widget tests need no display:
# every test runs on the offscreen platform. LABELS sort the suite for
# `ctest -L`: unit (the default: fast, in-process), gui (widgets), e2e (runs
# the real programs) and fuzz.
function(veltra_add_test name)
    if(NOT BUILD_TESTING)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT ARG_LABELS)
        set(ARG_LABELS unit)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "${ARG_LABELS}")
endfunction()
