# SPDX-License-Identifier: GPL-3.0-or-later
# The project's own CMake functions, included once from the top-level CMakeLists.txt.

# bin/ is the program's folder and what gets installed, so every other
# executable (build tools, the installer, tests, benchmarks, fuzzers) gets a
# folder of its own. A relative folder is taken under the build tree's top.
function(contavoce_program_folder target folder)
  cmake_path(ABSOLUTE_PATH folder BASE_DIRECTORY ${CMAKE_BINARY_DIR})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${folder})
endfunction()

# A target's headers, each included by its path from the top of the source tree
# ("platform/audio/mixer.h") and found only where it may be used:
#   contavoce_headers(<target> [PUBLIC <headers...>] [PRIVATE <headers...>])
# Each header (a path in the calling folder) is linked at configure time into
# <build>/include/<target>/ for PUBLIC (the target and whatever links it) or
# <build>/include/<target>.private/ for PRIVATE (the target's own sources), under
# its path from the top, and that folder goes on the target's include path. So a
# folder reaches only the headers of the libraries it links, and a library's inner
# headers stay its own. Links, as Qt's forwarding headers are, rather than headers
# moved into <folder>/include/<folder>/: a header stays beside its .cpp, where it
# is read and edited, and every include line keeps its spelling.
function(contavoce_headers target)
  cmake_parse_arguments(H "" "" "PUBLIC;PRIVATE" ${ARGN})
  foreach(scope PUBLIC PRIVATE)
    set(folder ${CMAKE_BINARY_DIR}/include/${target})
    if(scope STREQUAL PRIVATE)
      string(APPEND folder .private)
    endif()
    # Made afresh at each configure, so that a header taken off a list is gone.
    file(REMOVE_RECURSE ${folder})
    foreach(header IN LISTS H_${scope})
      cmake_path(ABSOLUTE_PATH header BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE
                 OUTPUT_VARIABLE source)
      if(NOT EXISTS ${source})
        message(FATAL_ERROR "contavoce_headers(${target}): there is no ${source}")
      endif()
      file(RELATIVE_PATH path ${CMAKE_SOURCE_DIR} ${source})
      cmake_path(GET path PARENT_PATH parent)
      file(MAKE_DIRECTORY ${folder}/${parent})
      file(CREATE_LINK ${source} ${folder}/${path} SYMBOLIC)
    endforeach()
    if(H_${scope})
      target_include_directories(${target} ${scope} ${folder})
    endif()
  endforeach()
endfunction()

# One Qt Test program per subject, run by CTest with no display and no sound
# device, told where the program's folder is. Its CTest label is LABEL, else
# the folder's CONTAVOCE_TEST_LABEL, else unit (the quick loop: ctest -L unit).
#   contavoce_test(<name> SOURCES <files...> [LIBS <libraries...>] [LABEL <label>])
function(contavoce_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
    if(CONTAVOCE_TEST_LABEL)
      set(T_LABEL ${CONTAVOCE_TEST_LABEL})
    endif()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  contavoce_program_folder(${name} tests/bin)
  # XDG_DATA_HOME: a window that keeps progress keeps it in the build tree.
  # The whole tree, not only what the libraries publish: tests check inner parts too.
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests
                                              ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;CONTAVOCE_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY};XDG_DATA_HOME=${CMAKE_BINARY_DIR}/tests/dati")
endfunction()

# A benchmark built from <name>.cpp in the calling folder.
#   contavoce_bench(<name> [libraries...])
function(contavoce_bench nome)
  add_executable(${nome} ${nome}.cpp)
  target_link_libraries(${nome} PRIVATE ${ARGN})
  contavoce_program_folder(${nome} bench)
endfunction()

# A libFuzzer target fuzz_<name>, part of the contavoce_fuzz target; with a
# seed folder corpus/<name>, also a test that runs every seed once.
#   contavoce_fuzzer(<name> SOURCES <files...> [LIBS <libraries...>])
function(contavoce_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(fuzz_${name} ${F_SOURCES})
  target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined
                         -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(fuzz_${name} PRIVATE ${F_LIBS})
  contavoce_program_folder(fuzz_${name} fuzz)
  add_dependencies(contavoce_fuzz fuzz_${name})
  # Every seed once: a quick check that the committed corpus still runs clean.
  # Some targets (wav) get their seeds from the build instead.
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
    add_test(NAME fuzz_${name}_corpus
             COMMAND fuzz_${name} -runs=0 ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
    set_tests_properties(fuzz_${name}_corpus PROPERTIES LABELS fuzz)
  endif()
endfunction()
