# SPDX-License-Identifier: GPL-3.0-or-later
# The project's own CMake functions, included once from the top-level CMakeLists.txt.

# bin/ is the program's folder and what gets installed, so every other
# executable (build tools, the installer, tests, benchmarks, fuzzers) gets a
# folder of its own. A relative folder is taken under the build tree's top.
function(contavoce_program_folder target folder)
  cmake_path(ABSOLUTE_PATH folder BASE_DIRECTORY ${CMAKE_BINARY_DIR})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${folder})
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
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests
                                              ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;CONTAVOCE_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
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
  target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR})
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
