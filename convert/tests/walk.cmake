# The conversion's walk tests, run through the headless program. Included
# from app/tests, where the program's target is known.
if(BUILD_TESTING AND TARGET veltra-cli)
    veltra_add_test(tst_conversionwalk
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_conversionwalk.cpp ${PROJECT_SOURCE_DIR}/app/tests/clirunner.h
        LIBS veltra_testsupport toml11::toml11 LABELS e2e)
    target_compile_definitions(tst_conversionwalk PRIVATE VELTRA_CLI="$<TARGET_FILE:veltra-cli>")
    add_dependencies(tst_conversionwalk veltra-cli)
endif()
