# Run by CPack once the programs are installed, stripped, into the package's
# staging folder: removes the .comment and .note sections that a plain strip
# keeps (the compilers' version strings), as Debian's dh_strip does.
foreach(program veltra veltra-cli)
    set(binary "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/${program}")
    if(NOT EXISTS "${binary}")
        message(FATAL_ERROR "strip-notes.cmake: ${binary} is not in the package")
    endif()
    execute_process(
        COMMAND "${CPACK_VELTRA_OBJCOPY}" --remove-section=.comment --remove-section=.note "${binary}"
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "strip-notes.cmake: objcopy failed on ${binary}")
    endif()
endforeach()
