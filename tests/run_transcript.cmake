# Runs the program on one input file and compares what it writes with the
# golden transcript byte for byte; the status must be 0 and stderr empty.
#   cmake -DPROGRAM=... -DINPUT=x.in -DEXPECTED=x.out -DOUTPUT=... -P this
# EMULATOR, when given, runs the program (a cross build).
execute_process(
  COMMAND ${EMULATOR} ${PROGRAM}
  INPUT_FILE ${INPUT}
  OUTPUT_FILE ${OUTPUT}
  ERROR_VARIABLE stderr
  RESULT_VARIABLE status)
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "exit status ${status}, not 0")
endif()
if(NOT stderr STREQUAL "")
  message(FATAL_ERROR "wrote to stderr:\n${stderr}")
endif()
file(READ ${OUTPUT} got HEX)
file(READ ${EXPECTED} want HEX)
if(NOT got STREQUAL want)
  execute_process(COMMAND diff ${EXPECTED} ${OUTPUT})
  message(FATAL_ERROR "transcript differs from ${EXPECTED}")
endif()
