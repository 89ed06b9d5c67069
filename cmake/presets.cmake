# Answers the scripts' questions about the builds from where each is
# defined once: its name and settings in CMakePresets.json, its processor,
# cross compiler and emulator in the toolchain file that the preset names.
#   cmake -P cmake/presets.cmake tests            the builds with tests
#   cmake -P cmake/presets.cmake packages         "PRESET GENERATOR" lines
#   cmake -P cmake/presets.cmake triple PRESET    its cross compiler's triple
#   cmake -P cmake/presets.cmake emulator PRESET  what runs its programs here
#                                                 (a CMake list)
#   cmake -P cmake/presets.cmake arch PRESET      the processor its archive
#                                                 is named by
# Answers go to stdout, one a line; "" where a build has none.
cmake_minimum_required(VERSION 3.20)
get_filename_component(source ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
file(READ ${source}/CMakePresets.json presets)
set(question "${CMAKE_ARGV3}")
set(preset "${CMAKE_ARGV4}")

function(say)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${ARGN}")
endfunction()

# The presets of a kind that are not hidden, with their JSON.
function(each kind out)
  string(JSON count LENGTH "${presets}" ${kind})
  math(EXPR last "${count} - 1")
  set(names)
  foreach(i RANGE ${last})
    string(JSON entry GET "${presets}" ${kind} ${i})
    string(JSON hidden ERROR_VARIABLE none GET "${entry}" hidden)
    if(NOT hidden)
      string(JSON name GET "${entry}" name)
      list(APPEND names ${name})
      set(json_${name} "${entry}" PARENT_SCOPE)
    endif()
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

each(configurePresets configures)
if(question STREQUAL "tests")
  each(testPresets tests)
  foreach(name ${tests})
    say(${name})
  endforeach()
  return()
elseif(question STREQUAL "packages")
  foreach(name ${configures})
    string(JSON generator ERROR_VARIABLE none GET "${json_${name}}"
           vendor example.org/morvantic package)
    if(generator)
      say("${name} ${generator}")
    endif()
  endforeach()
  return()
endif()

if(NOT DEFINED json_${preset})
  message(FATAL_ERROR "no build named '${preset}' in CMakePresets.json")
endif()
# What the preset's toolchain file sets; a native build has none.
string(JSON toolchain ERROR_VARIABLE none GET "${json_${preset}}" toolchainFile)
if(toolchain)
  string(REPLACE "\${sourceDir}" "${source}" toolchain "${toolchain}")
  include(${toolchain})
else()
  execute_process(COMMAND uname -m OUTPUT_VARIABLE CMAKE_SYSTEM_PROCESSOR
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(question STREQUAL "triple")
  say("${MORVANTIC_TRIPLE}")
elseif(question STREQUAL "emulator")
  say("${CMAKE_CROSSCOMPILING_EMULATOR}")
elseif(question STREQUAL "arch")
  include(${CMAKE_CURRENT_LIST_DIR}/archive-arch.cmake)
  say("${MORVANTIC_ARCH}")
else()
  message(FATAL_ERROR "unknown question '${question}'")
endif()
