# Installs the triangulation core as the CMake package EdgeAlgebra: the
# headers under include/edgealgebra/, the static library, and a package
# configuration with a version file, so that another project can write
#
#     find_package(EdgeAlgebra 0.1 REQUIRED)
#     target_link_libraries(app PRIVATE EdgeAlgebra::edgealgebra)
#
# A static library carries its private link dependencies (GMP) to the user,
# so the configuration finds them again with the Find modules shipped beside
# it.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(EDGEALGEBRA_CONFIG_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/EdgeAlgebra)

# The public headers only: everything under include/; the core's internal
# headers stay in the tree.
install(DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/include/edgealgebra
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")

install(TARGETS edgealgebra EXPORT EdgeAlgebraTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT EdgeAlgebraTargets NAMESPACE EdgeAlgebra::
        DESTINATION ${EDGEALGEBRA_CONFIG_DESTINATION})

# Every Find module of the project that the core's link interface needs is
# shipped with the package and called again by the configuration.
set(EDGEALGEBRA_DEPENDENCIES "")
get_target_property(_edgealgebra_links edgealgebra LINK_LIBRARIES)
foreach(_edgealgebra_module IN ITEMS GMP)
    if("${_edgealgebra_module}::${_edgealgebra_module}" IN_LIST _edgealgebra_links)
        list(APPEND EDGEALGEBRA_DEPENDENCIES ${_edgealgebra_module})
        install(FILES ${PROJECT_SOURCE_DIR}/cmake/Find${_edgealgebra_module}.cmake
                DESTINATION ${EDGEALGEBRA_CONFIG_DESTINATION})
    endif()
endforeach()

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/EdgeAlgebraConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/EdgeAlgebraConfig.cmake
    INSTALL_DESTINATION ${EDGEALGEBRA_CONFIG_DESTINATION})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/EdgeAlgebraConfigVersion.cmake
    VERSION ${PROJECT_VERSION}
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/EdgeAlgebraConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/EdgeAlgebraConfigVersion.cmake
        DESTINATION ${EDGEALGEBRA_CONFIG_DESTINATION})
