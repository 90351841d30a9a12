# The gauge library is optimised as one unit (link-time optimisation) in optimised builds: a tick
# calls across many small translation units (a system asks the registry for another, the
# connection for a gauge variable, the power system for a battery), and only the whole-library
# view inlines those calls. The module's objects keep their ordinary code as well ("fat"), so
# the tests that link them directly link as before and only the gauge library pays for the
# whole-library pass. Sanitizer and fuzz builds keep their objects as compiled. In the Windows
# cross build, mingw-w64's linker takes a fat object's inline functions twice when a program
# mixes them with ordinary objects, so the one Windows program that links the module's objects
# (the platform tests) is compiled and linked as one unit too.
set(ZELVAN_LTO_DEFAULT OFF)
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo)$" AND NOT ZELVAN_SANITIZE AND NOT ZELVAN_FUZZ
   AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(ZELVAN_LTO_DEFAULT ON)
endif()
option(ZELVAN_LTO "Optimise the gauge library as one unit at link time" ${ZELVAN_LTO_DEFAULT})

if(ZELVAN_LTO)
  include(CheckIPOSupported)
  check_ipo_supported(RESULT ZELVAN_LTO_SUPPORTED OUTPUT ZELVAN_LTO_WHY LANGUAGES CXX)
  if(NOT ZELVAN_LTO_SUPPORTED)
    message(WARNING "Link-time optimisation is not available (${ZELVAN_LTO_WHY}); the gauge "
                    "library is linked without it")
    set(ZELVAN_LTO OFF)
  endif()
endif()
