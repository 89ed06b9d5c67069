# The WebAssembly build's module and page; included by the WASI build only.

# What the page carries that the program does not use: neither the library
# nor the program looks at a type at run time, and without RTTI the C++
# runtime's type-matching code goes; a standard exception (none is thrown
# here: the one call that could, a substr, is given a position inside its
# text) aborts without its message, whose printing would bring the C
# library's whole printf into the page.
foreach(target morvantic_core morvantic)
  target_compile_options(${target} PRIVATE -fno-rtti
    "-D_LIBCPP_VERBOSE_ABORT(...)=__builtin_abort()")
endforeach()

# The module waits at fd_read and pause in a browser, which cannot block:
# Asyncify lets the host suspend it there and resume it with the answer.
# Under node it never suspends. One morvantic.wasm serves both hosts; the
# tests' other programs that run in the page's host are built so too.
# wasm-opt gets the module straight from the linker (not from the
# compiler driver's own wasm-opt, which drops the names) and does all of
# its optimising, after Asyncify.
find_program(WASM_OPT wasm-opt REQUIRED)
set(wasm_optimise -Oz --strip-debug --strip-producers)
function(morvantic_asyncify target)  # [ONLY function...]
  cmake_parse_arguments(PARSE_ARGV 1 asyncify "" "" ONLY)
  set(only)
  set(measure)
  if(asyncify_ONLY)
    list(JOIN asyncify_ONLY "," only)
    set(only "--pass-arg=asyncify-onlylist@${only}")
    # The same module without Asyncify, beside it, tells what Asyncify
    # costs (bench/module_sizes.mjs).
    set(measure COMMAND ${WASM_OPT} ${wasm_optimise} $<TARGET_FILE:${target}>
      -o ${CMAKE_CURRENT_BINARY_DIR}/${target}-without-asyncify.wasm)
  endif()
  target_link_options(${target} PRIVATE --no-wasm-opt)
  # wasm-opt only warns of a listed function that the module lacks (renamed
  # or inlined by a new compiler or C library); that fails the build here,
  # since the module could then not be suspended on that path.
  add_custom_command(TARGET ${target} POST_BUILD
    ${measure}
    COMMAND sh -c "(\"$@\" 2>\"$0\" || ! cat \"$0\" >&2) && cat \"$0\" >&2 && ! grep -q onlylist \"$0\""
      ${CMAKE_CURRENT_BINARY_DIR}/${target}.wasm-opt.log
      ${WASM_OPT} --asyncify
      --pass-arg=asyncify-imports@wasi_snapshot_preview1.fd_read,morvantic.pause
      ${only} ${wasm_optimise}
      $<TARGET_FILE:${target}> -o $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
# Only the functions that are on the stack when the module waits are made
# resumable (each one instrumented costs code): _start, main, the dialogue,
# the reader, the console's fill and wasi-libc's getchar down to fd_read
# (by read or readv); and the console's key wait down to pause. The names
# are those the linker writes. A function that comes onto either path
# belongs here too: without it the page stops at its first prompt, which
# the browser test sees.
morvantic_asyncify(morvantic ONLY
  _start.command_export _start __original_main
  "morvantic::run_dialogue(morvantic::Console&)"
  "morvantic::read_float(morvantic::InputReader&, float&)"
  "morvantic::StdioConsole::fill()" getchar __uflow __stdio_read read readv
  __wasi_fd_read
  "morvantic::StdioConsole::wait_for_key()"
  "morvantic::wait_for_any_key()")

# The page: the module, its host and the icon in one self-contained HTML
# file; and the web release, MORVANTIC_RELEASE: site/, the folder that a
# static host serves (the page, its manifest, icons and service worker),
# and nginx.conf, an example configuration for it. Built with the locked
# npm packages of web/. This is the one place that installs them (npm ci,
# again only when the lock changes); the browser test and the benchmark
# use what it installed.
find_program(NPM npm)
if(NOT NPM)
  message(STATUS "npm not found: the web page is not built")
  return()
endif()
set(web ${CMAKE_CURRENT_SOURCE_DIR}/web)
set(MORVANTIC_PAGE
    ${CMAKE_CURRENT_BINARY_DIR}/morvantic-${PROJECT_VERSION}-web.html)
set(MORVANTIC_RELEASE ${CMAKE_CURRENT_BINARY_DIR}/release)
set(site ${MORVANTIC_RELEASE}/site)
set(nginx ${MORVANTIC_RELEASE}/nginx.conf)
set(icon ${CMAKE_CURRENT_SOURCE_DIR}/doc/morvantic.svg)
set(icons ${CMAKE_CURRENT_SOURCE_DIR}/doc/web)
file(GLOB page_sources CONFIGURE_DEPENDS
     ${web}/*.mjs ${web}/*.js ${web}/*.html ${web}/*.css ${web}/*.in
     ${icons}/*.png)
# No package's install script runs: the one there is, esbuild's, only
# checks its binary (the locked @esbuild/ package for this platform, which
# it runs from without it) and puts it in place of its launcher.
add_custom_command(OUTPUT ${web}/node_modules/.package-lock.json
  COMMAND ${NPM} ci --ignore-scripts --no-audit --no-fund --loglevel=error
  WORKING_DIRECTORY ${web}
  DEPENDS ${web}/package-lock.json
  VERBATIM)
# Compressed by gzip, not by node's zlib, whose output differs between
# builds of node (Debian's and others'): the page's bytes stay the same.
find_program(GZIP gzip REQUIRED)
set(compressed ${CMAKE_CURRENT_BINARY_DIR}/morvantic.wasm.gz)
add_custom_command(OUTPUT ${compressed}
  COMMAND ${GZIP} -9 -n -f -k $<TARGET_FILE:morvantic>
  DEPENDS morvantic
  VERBATIM)
add_custom_command(OUTPUT ${MORVANTIC_PAGE} ${site}/sw.js ${nginx}
  COMMAND node ${web}/build.mjs ${compressed}
          ${PROJECT_VERSION} ${icon} ${MORVANTIC_PAGE}
          ${icons} ${site} ${nginx}
  DEPENDS ${compressed} ${page_sources} ${icon}
          ${web}/node_modules/.package-lock.json
  VERBATIM)
add_custom_target(web_page ALL DEPENDS ${MORVANTIC_PAGE} ${nginx})
