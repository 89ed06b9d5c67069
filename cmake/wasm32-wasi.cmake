# WebAssembly (wasm32-wasi) with Debian's clang-22, its libc++ for wasm32 and
# wasi-libc, whose headers and libraries Debian installs under the triple
# wasm32-wasi (so the target is spelt so, not wasm32-wasip1). The unit tests
# run under node's WASI through cmake/wasi-run.mjs, as the other targets run
# under qemu and wine; the program itself runs in the page's own host
# (cmake/wasi-host-run.mjs, chosen in tests/CMakeLists.txt).
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CMAKE_C_COMPILER clang-22)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER clang++-22)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# The triple is deprecated by name only; no exceptions in WASI's libc++.
set(CMAKE_C_FLAGS_INIT "-Wno-deprecated")
set(CMAKE_CXX_FLAGS_INIT "-Wno-deprecated -fno-exceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wno-deprecated")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_CROSSCOMPILING_EMULATOR node --no-warnings
    ${CMAKE_CURRENT_LIST_DIR}/wasi-run.mjs)
