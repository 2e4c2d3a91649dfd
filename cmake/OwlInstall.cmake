# Installation: the library (shared or static), the public header, a CMake
# package (find_package(owlgraphic 0.2 CONFIG) -> owlgraphic::owlgraphic) and
# owlgraphic.pc. The build folder holds a CMake package as well, for
# find_package with owlgraphic_DIR set to it.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set_target_properties(owlgraphic PROPERTIES PUBLIC_HEADER ${PROJECT_SOURCE_DIR}/include/owlgraphic.h)
target_include_directories(owlgraphic PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

install(TARGETS owlgraphic EXPORT owlgraphicTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(OWL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/owlgraphic)
install(EXPORT owlgraphicTargets NAMESPACE owlgraphic:: DESTINATION ${OWL_CMAKE_DIR})
export(EXPORT owlgraphicTargets NAMESPACE owlgraphic:: FILE ${PROJECT_BINARY_DIR}/owlgraphicTargets.cmake)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/owlgraphicConfig.cmake.in
  ${PROJECT_BINARY_DIR}/owlgraphicConfig.cmake INSTALL_DESTINATION ${OWL_CMAKE_DIR})
# 0.x versions only add: a program built against 0.1 runs with 0.2.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/owlgraphicConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/owlgraphicConfig.cmake
  ${PROJECT_BINARY_DIR}/owlgraphicConfigVersion.cmake DESTINATION ${OWL_CMAKE_DIR})

# The .pc file finds its prefix from where it is installed. A static
# library brings the C++ runtime (and gdi32 on Windows) as private
# libraries, for `pkg-config --static`, and OWL_STATIC for the header.
file(RELATIVE_PATH OWL_PC_TO_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" OWL_PC_TO_PREFIX "${OWL_PC_TO_PREFIX}")
set(OWL_PC_CFLAGS "")
set(OWL_PC_LIBS_PRIVATE "")
if(OWL_LIBRARY_TYPE STREQUAL "STATIC_LIBRARY")
  set(OWL_PC_CFLAGS " -DOWL_STATIC")
  set(private ${OWL_CXX_RUNTIME})
  if(WIN32)
    list(APPEND private gdi32)
  endif()
  list(REMOVE_DUPLICATES private)
  foreach(lib ${private})
    string(APPEND OWL_PC_LIBS_PRIVATE " -l${lib}")
  endforeach()
  unset(private)
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/owlgraphic.pc.in ${PROJECT_BINARY_DIR}/owlgraphic.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/owlgraphic.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
