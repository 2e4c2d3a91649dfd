# Source collection and per-file instruction-set flags.
#
# Files named *_mmx.cpp, *_sse.cpp, *_sse2.cpp and *_avx2.cpp hold one instruction set's
# forms of a routine family; only they are compiled with that set enabled, so
# that no vector instruction reaches a baseline path (the probe included).

function(owl_collect_sources out)
  set(files)
  foreach(dir ${ARGN})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  list(SORT files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

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
    endif()
  endforeach()
endfunction()
