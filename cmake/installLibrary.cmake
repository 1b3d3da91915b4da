# Installs one of the shared libraries for outside projects: the library, its public headers
# with the generated export header in include/<library>/, and a CMake package, so that
# find_package(<library>) gives the target <library>::<library>. The package finds what the
# library's users need with it: the Qt parts it links publicly and the other Quorvel libraries.
include_guard(GLOBAL)
include(CMakePackageConfigHelpers)

# quorvel_install_library(LIBRARY EXPORT_HEADER file HEADER_GLOBS pattern… [PRIVATE_HEADERS file…])
# The public headers are the files the patterns match, less the private ones, gathered at
# configure time and again at every build (CONFIGURE_DEPENDS), so a header added or moved
# between a library's folders needs no change here. They are installed side by side, as the build tree's include folders
# present them.
function(quorvel_install_library library)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "EXPORT_HEADER" "HEADER_GLOBS;PRIVATE_HEADERS")
    set(headerDestination ${CMAKE_INSTALL_INCLUDEDIR}/${library})
    set(packageDestination ${CMAKE_INSTALL_LIBDIR}/cmake/${library})

    # The folders the library names for its users are source and build folders: an installed
    # package must not point back into them.
    get_target_property(buildTreeIncludes ${library} INTERFACE_INCLUDE_DIRECTORIES)
    set(includes)
    foreach(folder IN LISTS buildTreeIncludes)
        if(folder MATCHES "^\\$<")
            list(APPEND includes "${folder}")
        else()
            list(APPEND includes "$<BUILD_INTERFACE:${folder}>")
        endif()
    endforeach()
    list(APPEND includes "$<INSTALL_INTERFACE:${headerDestination}>")
    # The libraries lie side by side in lib/; each finds the others through its own path.
    set_target_properties(${library} PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${includes}"
        INSTALL_RPATH "$ORIGIN")

    install(TARGETS ${library} EXPORT ${library}Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    file(GLOB headers CONFIGURE_DEPENDS ${arg_HEADER_GLOBS})
    if(arg_PRIVATE_HEADERS)
        list(REMOVE_ITEM headers ${arg_PRIVATE_HEADERS})
    endif()
    install(FILES ${headers} ${arg_EXPORT_HEADER} DESTINATION ${headerDestination})

    # Read from the link lines as they stand at the end of the library's folder, so that a
    # dependency added there is found by the package without a change here. Quorvel's own
    # libraries are found even when linked privately: a program linking this one needs them.
    get_target_property(linked ${library} LINK_LIBRARIES)
    get_target_property(linkedPublicly ${library} INTERFACE_LINK_LIBRARIES)
    set(qtParts)
    set(libraryDependencies)
    foreach(item IN LISTS linked)
        if(item MATCHES "^Qt6::(.+)$")
            if(item IN_LIST linkedPublicly)
                list(APPEND qtParts ${CMAKE_MATCH_1})
            endif()
        elseif(TARGET ${item})
            get_target_property(outside ${item} IMPORTED)
            if(NOT outside)
                # Only the library installed alongside, of the same version, fits.
                string(APPEND libraryDependencies
                    "find_dependency(${item} ${PROJECT_VERSION} EXACT PATHS \"\${CMAKE_CURRENT_LIST_DIR}/..\" NO_DEFAULT_PATH)\n")
            elseif(item IN_LIST linkedPublicly)
                message(WARNING "${library} links ${item} publicly: its package cannot find it "
                                "until cmake/installLibrary.cmake says how")
            endif()
        endif()
    endforeach()
    if(qtParts)
        # The Qt the library was built with, or a later one.
        list(JOIN qtParts " " qtParts)
        string(PREPEND libraryDependencies
            "find_dependency(Qt6 ${Qt6_VERSION_MAJOR}.${Qt6_VERSION_MINOR} COMPONENTS ${qtParts})\n")
    endif()

    install(EXPORT ${library}Targets NAMESPACE ${library}:: DESTINATION ${packageDestination})
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/libraryConfig.cmake.in
        ${CMAKE_CURRENT_BINARY_DIR}/${library}Config.cmake
        INSTALL_DESTINATION ${packageDestination})
    # The shared libraries' SOVERSION is the major version, so is the promise here.
    write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/${library}ConfigVersion.cmake
        VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${library}Config.cmake
                  ${CMAKE_CURRENT_BINARY_DIR}/${library}ConfigVersion.cmake
        DESTINATION ${packageDestination})
endfunction()
