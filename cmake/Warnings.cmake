# The warnings we hold our own code to; third-party headers come from the system include path
# and stay quiet. The project's presets and CI make them errors (ZELVAN_WERROR); a plain build by
# a packager or another compiler only reports them, so a new compiler's new warning does not
# stop a build that works.
option(ZELVAN_WERROR "Treat warnings in our code as errors (the presets and CI turn it on)" OFF)
add_library(zelvan_warnings INTERFACE)
target_compile_options(zelvan_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Woverloaded-virtual -Wformat=2 $<$<BOOL:${ZELVAN_WERROR}>:-Werror>)
