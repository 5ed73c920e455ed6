# Writes the build identifier header: the abbreviated id of the commit the
# source is at, or "0000000" for a source that is not a git checkout of its
# own. The header is rewritten only when its content changes, so a build at
# the same commit recompiles nothing.
#
#   cmake -DSOURCE_DIR=<source> -DOUTPUT=<header> -P buildid.cmake

set(build_id "0000000")
find_package(Git QUIET)
if(GIT_FOUND)
    execute_process(
        COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --show-toplevel HEAD
        RESULT_VARIABLE git_result
        OUTPUT_VARIABLE git_output
        ERROR_QUIET
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(git_result EQUAL 0)
        string(REPLACE "\n" ";" git_lines "${git_output}")
        list(LENGTH git_lines git_line_count)
        if(git_line_count EQUAL 2)
            list(GET git_lines 0 top_level)
            list(GET git_lines 1 commit)
            get_filename_component(top_level "${top_level}" REALPATH)
            get_filename_component(source_real "${SOURCE_DIR}" REALPATH)
            # A source unpacked inside some other checkout is not that checkout.
            if(top_level STREQUAL source_real AND commit MATCHES "^[0-9a-f]+$")
                string(SUBSTRING "${commit}" 0 7 build_id)
            endif()
        endif()
    endif()
endif()

set(content "// Generated at build time; do not edit.\n#pragma once\n\n")
string(APPEND content "inline constexpr char veltraBuildId[] = \"${build_id}\";\n")

set(old_content "")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old_content)
endif()
if(NOT old_content STREQUAL content)
    file(WRITE "${OUTPUT}" "${content}")
endif()
