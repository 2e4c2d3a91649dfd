# Installation: the shared library, the public header, a CMake package
# (find_package(owlgraphic CONFIG) -> owlgraphic::owlgraphic) and owlgraphic.pc.
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
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/owlgraphicConfig.cmake.in
  ${PROJECT_BINARY_DIR}/owlgraphicConfig.cmake INSTALL_DESTINATION ${OWL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/owlgraphicConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/owlgraphicConfig.cmake
  ${PROJECT_BINARY_DIR}/owlgraphicConfigVersion.cmake DESTINATION ${OWL_CMAKE_DIR})

# The .pc file finds its prefix from where it is installed.
file(RELATIVE_PATH OWL_PC_TO_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" OWL_PC_TO_PREFIX "${OWL_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/owlgraphic.pc.in ${PROJECT_BINARY_DIR}/owlgraphic.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/owlgraphic.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
