if(ZELVAN_SANITIZE)
  add_compile_options(-fsanitize=${ZELVAN_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ZELVAN_SANITIZE})
endif()

# A module lifetime is one dlopen: with GNU unique symbols the library would never really unload
# and the next load would see the previous lifetime's process-wide values.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-fno-gnu-unique)
endif()

# Coverage for libFuzzer in every object a fuzz target links (the targets add the fuzzer itself),
# but for the standard library's functions (fuzz-coverage-ignore.txt).
# Optimised, unlike the debug build it otherwise is (assertions stay on): unoptimised, every
# std::map step and string copy of the settings codec is an out-of-line call with its own
# coverage and sanitizer checks, and a target runs a tenth of the inputs in the same time. -O2
# rather than -O1: the settings target, which loads and saves the whole module's settings three
# times an input, runs a fifth more inputs a second.
if(ZELVAN_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link -O2
                      -fsanitize-coverage-ignorelist=${CMAKE_CURRENT_LIST_DIR}/fuzz-coverage-ignore.txt)
endif()
