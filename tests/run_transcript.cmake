# Runs the program on one input file and compares what it writes with the
# golden transcript byte for byte; the status must be 0 and stderr empty.
#   cmake -DPROGRAM=... -DINPUT=x.in -DEXPECTED=x.out -DOUTPUT=... -P this
# ARGS, when given, are the program's arguments separated by "|"; STATUS
# the status it must end with instead of 0; STDERR a regular expression
# that stderr must match instead of being empty.
# EMULATOR, when given, runs the program (a cross build). WINDOWS=ON allows
# exactly what the Windows console allows: "\r\n" for each line end, the
# form feed that "cls" writes to a file, and the pause prompt of the
# command interpreter, which lands before the last two line ends (still in
# the program's buffer then) or after them.
set(ENV{WINEDEBUG} -all)
string(REPLACE "|" ";" args "${ARGS}")
execute_process(
  COMMAND ${EMULATOR} ${PROGRAM} ${args}
  INPUT_FILE ${INPUT}
  OUTPUT_FILE ${OUTPUT}
  ERROR_VARIABLE stderr
  RESULT_VARIABLE status)
if(NOT DEFINED STATUS)
  set(STATUS 0)
endif()
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "exit status ${status}, not ${STATUS}:\n${stderr}")
endif()
if(DEFINED STDERR AND NOT stderr MATCHES "${STDERR}")
  message(FATAL_ERROR "stderr does not match '${STDERR}':\n${stderr}")
elseif(NOT DEFINED STDERR AND NOT stderr STREQUAL "")
  message(FATAL_ERROR "wrote to stderr:\n${stderr}")
endif()

# Compared as bytes: file(READ) without HEX would drop carriage returns.
# Each byte becomes a token "hh ", so that patterns cannot straddle bytes.
function(read_bytes path out)
  file(READ ${path} hex HEX)
  string(REGEX REPLACE "(..)" "\\1 " bytes "${hex}")
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()
read_bytes(${OUTPUT} got)
read_bytes(${EXPECTED} want)
if(WINDOWS)
  string(REPLACE "0a " "0d 0a " want "${want}")
  string(REGEX REPLACE "^0c " "" got "${got}")
  string(HEX "Press any key to continue" prompt)
  string(REGEX REPLACE "(..)" "\\1 " prompt "${prompt}")
  set(pause "${prompt}((20|2e) )*(0d 0a )?")
  string(REGEX REPLACE "${pause}(0d 0a 0d 0a )$" "\\4" got "${got}")
  string(REGEX REPLACE "${pause}$" "" got "${got}")
endif()
if(NOT got STREQUAL want)
  string(REPLACE " " "\n" got "${got}")
  string(REPLACE " " "\n" want "${want}")
  file(WRITE ${OUTPUT}.want "${want}")
  file(WRITE ${OUTPUT}.compared "${got}")
  message("bytes that differ (hex, one a line):")
  execute_process(COMMAND diff ${OUTPUT}.want ${OUTPUT}.compared)
  message(FATAL_ERROR "transcript differs from ${EXPECTED}")
endif()
