# Source collection and per-file instruction-set flags.
#
# Files named *_windows.cpp build only for Windows, *_posix.cpp only
# elsewhere (the same holds for *_windows_test.cpp and *_posix_test.cpp).
#
# Files named *_mmx.cpp, *_sse.cpp, *_sse2.cpp, *_avx2.cpp and *_avx512.cpp
# hold one instruction set's forms of a routine family; only they are compiled with that set enabled, so
# that no vector instruction reaches a baseline path (the probe included).

function(owl_collect_sources out)
  set(files)
  foreach(dir ${ARGN})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  owl_filter_platform(files)
  list(SORT files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

macro(owl_filter_platform var)
  if(WIN32)
    list(FILTER ${var} EXCLUDE REGEX "_posix(_test)?\\.cpp$")
  else()
    list(FILTER ${var} EXCLUDE REGEX "_windows(_test)?\\.cpp$")
  endif()
endmacro()

set(OWL_X86 OFF)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i.86|x86)$")
  set(OWL_X86 ON)
endif()

function(owl_apply_isa_flags)
  if(NOT OWL_X86 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    return()
  endif()
  foreach(f ${ARGN})
    if(f MATCHES "_mmx\\.cpp$")
      set_source_files_properties(${f} PROPERTIES COMPILE_OPTIONS "-mmmx")
    elseif(f MATCHES "_sse\\.cpp$")
      set_source_files_properties(${f} PROPERTIES COMPILE_OPTIONS "-mmmx;-msse")
    elseif(f MATCHES "_sse2\\.cpp$")
      set_source_files_properties(${f} PROPERTIES COMPILE_OPTIONS "-mmmx;-msse;-msse2")
    elseif(f MATCHES "_avx2\\.cpp$")
      set_source_files_properties(${f} PROPERTIES COMPILE_OPTIONS "-msse2;-mavx;-mavx2")
    elseif(f MATCHES "_avx512\\.cpp$")
      set_source_files_properties(${f} PROPERTIES COMPILE_OPTIONS "-msse2;-mavx;-mavx2;-mavx512f;-mavx512bw")
    endif()
  endforeach()
endfunction()

# Flags of the target processor that every library source needs.
#
# On 32-bit x86 a caller may enter with a stack aligned to 4 bytes only (the
# Windows convention); the compiler then realigns the frames that spill
# 16-byte vectors instead of trusting an alignment it was never promised.
function(owl_apply_target_flags target)
  if(OWL_X86 AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -mincoming-stack-boundary=2)
  elseif(OWL_X86 AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE -mstackrealign)
  endif()
endfunction()
