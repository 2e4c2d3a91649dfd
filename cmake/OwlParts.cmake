# Which parts beyond the core library this build makes: sets
# OWL_WITH_TESTS, OWL_WITH_BENCH, OWL_WITH_PNG (the companion library
# owlgraphic_png) and OWL_WITH_EXAMPLES from the options OWL_BUILD_TESTS,
# OWL_BUILD_BENCH, OWL_BUILD_PNG and OWL_BUILD_EXAMPLES (AUTO, ON or OFF)
# and what is found, and says in one line each what is built and, for what
# is not, why.

# Whether the part's option asks for it here: ON always, AUTO only when
# owlgraphic is the top-level project.
function(owl_part_asked part out)
  string(TOUPPER "${OWL_BUILD_${part}}" want)
  if(want STREQUAL "AUTO" OR want STREQUAL "")
    set(${out} ${OWL_TOP_LEVEL} PARENT_SCOPE)
  elseif(want)
    set(${out} ON PARENT_SCOPE)
  else()
    set(${out} OFF PARENT_SCOPE)
  endif()
endfunction()

# Sets OWL_WITH_<part>; found tells whether what the part needs is there,
# missing what to install when it is not. ON with something missing stops
# the configuration.
function(owl_decide_part part name found missing)
  string(TOUPPER "${OWL_BUILD_${part}}" want)
  owl_part_asked(${part} asked)
  set(with OFF)
  if(NOT asked)
    if(want STREQUAL "AUTO" OR want STREQUAL "")
      set(why "owlgraphic is not the top-level project")
    else()
      set(why "OWL_BUILD_${part}=${OWL_BUILD_${part}}")
    endif()
  elseif(found)
    set(with ON)
  elseif(want STREQUAL "AUTO" OR want STREQUAL "")
    set(why "${missing}; OWL_BUILD_${part}=ON makes this an error")
  else()
    message(FATAL_ERROR "OWL_BUILD_${part}=${OWL_BUILD_${part}}, but ${missing}")
  endif()
  if(with)
    message(STATUS "owlgraphic ${name}: built")
  else()
    message(STATUS "owlgraphic ${name}: skipped, ${why}")
  endif()
  set(OWL_WITH_${part} ${with} PARENT_SCOPE)
endfunction()

string(REPLACE "_" " " kind "${OWL_LIBRARY_TYPE}")
string(TOLOWER "${kind}" kind)
message(STATUS "owlgraphic ${PROJECT_VERSION}: ${kind}")
unset(kind)

set(found OFF)
owl_part_asked(TESTS asked)
if(asked AND CMAKE_CROSSCOMPILING)
  # The machine's GoogleTest is built for the host: tests/CMakeLists.txt
  # builds it for the target from Debian's source package (googletest).
  set(OWL_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
  if(EXISTS ${OWL_GTEST_SOURCE_DIR}/CMakeLists.txt)
    set(found ON)
  endif()
  set(missing "no GoogleTest sources in ${OWL_GTEST_SOURCE_DIR} (Debian: googletest; or set OWL_GTEST_SOURCE_DIR)")
elseif(asked)
  find_package(GTest QUIET)
  set(found ${GTest_FOUND})
  set(missing "GoogleTest not found (Debian: libgtest-dev)")
endif()
owl_decide_part(TESTS tests "${found}" "${missing}")

set(found OFF)
owl_part_asked(BENCH asked)
if(asked)
  find_package(benchmark QUIET)
  set(found ${benchmark_FOUND})
endif()
owl_decide_part(BENCH benchmarks "${found}" "Google Benchmark not found (Debian: libbenchmark-dev)")

set(found OFF)
owl_part_asked(PNG asked)
if(asked)
  find_package(PNG QUIET)
  set(found ${PNG_FOUND})
endif()
owl_decide_part(PNG "PNG companion library" "${found}" "libpng not found (Debian: libpng-dev)")

owl_decide_part(EXAMPLES examples "${OWL_WITH_PNG}" "they need the PNG companion library, which is not built")
unset(found)
unset(asked)
unset(missing)
