# Runs one Qt Test suite under the cross-compiling emulator (Wine) and reports its results to
# ctest: a Windows program under Wine loses its standard output when that is a pipe, so QTest
# writes its results to a file, which is printed here. The suites run on Qt's offscreen platform,
# named on the command line: Wine keeps QT_* variables of the environment from its programs.
# Fails when the suite's exit status is not zero (QTest returns the number of failed cases).
# Usage: cmake -DEMULATOR=<wine> -DPROGRAM=<suite.exe> -DRESULTS=<file> -P RunQtest.cmake
file(REMOVE ${RESULTS})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} -platform offscreen -o "Z:${RESULTS},txt" RESULT_VARIABLE status)
if(EXISTS ${RESULTS})
  execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${RESULTS})
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ended with status ${status}")
endif()
