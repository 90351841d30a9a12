# Warnings are errors in our own code; third-party headers come from the system include path
# and stay quiet.
add_library(zelvan_warnings INTERFACE)
target_compile_options(zelvan_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Woverloaded-virtual -Wformat=2 -Werror)
