# cmake -DPROGRAM=<executable> -P checklinks.cmake
# Fails when the program loads, itself or through another library, a shared
# library of the toolkit's graphical side or the workbook writer: the headless
# recorder runs on machines without a display and needs none of them.
find_program(KX_LDD ldd)
if(NOT KX_LDD)
    message(FATAL_ERROR "ldd not found")
endif()
execute_process(COMMAND ${KX_LDD} ${PROGRAM}
    RESULT_VARIABLE rc OUTPUT_VARIABLE libraries ERROR_VARIABLE error)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "ldd ${PROGRAM} failed (${rc}): ${error}")
endif()
set(found)
foreach(library libQt5Widgets libQt5Gui libQt5PrintSupport libxlsxwriter)
    if(libraries MATCHES "(^|[\t /])${library}\\.so")
        list(APPEND found ${library})
    endif()
endforeach()
if(found)
    string(JOIN ", " found ${found})
    message(FATAL_ERROR "${PROGRAM} links ${found}:\n${libraries}")
endif()
