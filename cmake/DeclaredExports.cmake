# Lists the functions the public header declares for the target, one
# "C Name" (extern "C", a plain name) or "C++ Name" per line, with the
# header's platform conditions applied by the target's own preprocessor.
#   cmake -DHEADER=... -DOUTPUT=... -DCOMPILER=... [-DMSVC_SYNTAX=ON] -P DeclaredExports.cmake
file(READ ${HEADER} text)
# Rename the export markers where they are used, not where they are defined,
# so that they pass through the preprocessor as plain words.
foreach(marker OWL_EXTERN_C OWL_API OWL_CALL)
  string(REPLACE "${marker}" "${marker}_MARK" text "${text}")
  string(REGEX REPLACE "define([ \t]+)${marker}_MARK" "define\\1${marker}" text "${text}")
endforeach()
get_filename_component(dir ${OUTPUT} DIRECTORY)
set(marked ${dir}/declared_exports.h)
file(WRITE ${marked} "${text}")

if(MSVC_SYNTAX)
  set(args /nologo /EP /TP /DOWL_BUILDING_LIBRARY ${marked})
else()
  set(args -E -P -x c++ -DOWL_BUILDING_LIBRARY ${marked})
endif()
execute_process(COMMAND ${COMPILER} ${args} OUTPUT_VARIABLE expanded RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "preprocessing ${HEADER} failed")
endif()

set(ws "[ \t\r\n]")
string(REGEX MATCHALL "(OWL_EXTERN_C_MARK${ws}+)?OWL_API_MARK[^;{}()]*OWL_CALL_MARK${ws}+[A-Za-z0-9_]+${ws}*\\("
       decls "${expanded}")
set(lines)
foreach(decl ${decls})
  string(REGEX REPLACE ".*OWL_CALL_MARK${ws}+([A-Za-z0-9_]+).*" "\\1" name "${decl}")
  if(decl MATCHES "^OWL_EXTERN_C_MARK")
    list(APPEND lines "C ${name}")
  else()
    list(APPEND lines "C++ ${name}")
  endif()
endforeach()
list(SORT lines)
list(JOIN lines "\n" lines)
file(WRITE ${OUTPUT}.tmp "${lines}\n")
# Rewritten only when the list changes, so that what depends on it is not
# rebuilt for nothing.
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUTPUT}.tmp ${OUTPUT})
