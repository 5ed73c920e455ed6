# The application object and the start-up hooks, the GUI program and their
# tests. Included from this folder's CMakeLists.txt.

add_library(veltra_application STATIC
    capplication.cpp capplication.h
    startuphook.cpp startuphook.h
)
target_include_directories(veltra_application PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(veltra_application
    PUBLIC Qt::Widgets
    PRIVATE veltra_version veltra_resources
)

# The walk on a worker thread, for the window program. Qt Core only.
add_library(veltra_walkrunner STATIC walkrunner.cpp walkrunner.h)
target_include_directories(veltra_walkrunner PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(veltra_walkrunner PUBLIC veltra_restructure PRIVATE veltra_paths)

# veltra: a Windows GUI program, so no console opens beside the window. Qt's
# entry library supplies WinMain and hands the command line on to main.
# The hint at the folder probably meant is the headless program's own, shared.
add_executable(veltra WIN32 main.cpp clientfolder.cpp clientfolder.h windowsession.cpp windowsession.h
    cli/clienthint.cpp cli/clienthint.h
)
target_link_libraries(veltra PRIVATE
    veltra_application veltra_walkrunner veltra_convert veltra_view veltra_paths veltra_version
)
if(WIN32 AND VELTRA_QT_MAJOR STREQUAL "5")
    target_link_libraries(veltra PRIVATE Qt5::WinMain)
endif()

if(NOT BUILD_TESTING)
    return()
endif()

# Its own main: the test runs inside the application object it tests.
veltra_add_test(tst_capplication SOURCES tests/tst_capplication.cpp LIBS veltra_application veltra_version
    LABELS gui)
veltra_add_test(tst_walkrunner SOURCES tests/tst_walkrunner.cpp LIBS veltra_walkrunner veltra_testsupport)

# The real program in a real window under Xvfb; skipped where Xvfb is missing.
# The window's text is compared with the headless program's where it is built.
set(veltra_cli_file "")
if(TARGET veltra-cli)
    set(veltra_cli_file $<TARGET_FILE:veltra-cli>)
endif()
add_test(NAME tst_window
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/tst_window.sh
        $<TARGET_FILE:veltra> ${CMAKE_CURRENT_BINARY_DIR}/tst_window ${PROJECT_SOURCE_DIR}
        ${veltra_cli_file}
)
add_test(NAME tst_progress
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/tst_progress.sh
        $<TARGET_FILE:veltra> ${CMAKE_CURRENT_BINARY_DIR}/tst_progress ${PROJECT_SOURCE_DIR}
)
add_test(NAME tst_confirm
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/tst_confirm.sh
        $<TARGET_FILE:veltra> ${CMAKE_CURRENT_BINARY_DIR}/tst_confirm ${PROJECT_SOURCE_DIR}
)
set_tests_properties(tst_window tst_progress tst_confirm PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 LABELS "e2e;gui")
