# Runs one Qt Test suite under the cross-compiling emulator (Wine) and reports its results to
# ctest: a Windows program under Wine loses its standard output when that is a pipe, so QTest
# writes its results to a file, which is printed here. Fails when the suite's exit status is not
# zero (QTest returns the number of failed cases) or when no totals line was written.
# Usage: cmake -DEMULATOR=<wine> -DPROGRAM=<suite.exe> -DRESULTS=<file> -P RunQtest.cmake
file(REMOVE ${RESULTS})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} -o "Z:${RESULTS},txt" RESULT_VARIABLE status)
if(EXISTS ${RESULTS})
  execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${RESULTS})
  file(STRINGS ${RESULTS} totals REGEX "^Totals: ")
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ended with status ${status}")
elseif(NOT totals)
  message(FATAL_ERROR "${PROGRAM} wrote no results")
endif()
