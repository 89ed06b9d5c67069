# Replays a fuzzer's corpus one input at a time on standard input, for a
# build whose programs get no files (the WebAssembly build in the page's
# host); the properties must hold for each, and all its bytes arrive.
#   cmake -DRUNNER=... -DPROGRAM=..._replay -DCORPUS=DIRECTORY -P this
file(GLOB inputs ${CORPUS}/*)
list(LENGTH inputs count)
foreach(input ${inputs})
  execute_process(
    COMMAND ${RUNNER} ${PROGRAM}
    INPUT_FILE ${input}
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output
    RESULT_VARIABLE status)
  file(SIZE ${input} size)
  if(NOT status STREQUAL "0" OR NOT output STREQUAL "${size} bytes: passed\n")
    message(FATAL_ERROR "${input} (${size} bytes): status ${status}\n${output}")
  endif()
endforeach()
message("${count} passed, 0 failed")
