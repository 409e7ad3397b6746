# Debian packages built with `cpack -G DEB` from a build folder:
#   prismora-installer  the program, its desktop entry, icon and AppStream metainfo
#   libmirakit1         the shared libraries (MiraKit and the platform layer)
#   libmirakit-dev      headers, the CMake package, the unversioned library links and
#                       the Qt Designer plug-in (in Qt's Designer plug-in folder)
# Run-time dependencies come from dpkg-shlibdeps; only the dependencies between
# the three packages are written here.

set(PRISMORA_PACKAGE_COMPONENTS installer runtime development)
set(PRISMORA_PACKAGE_NAMES prismora-installer libmirakit1 libmirakit-dev)

# The desktop files of the installer itself.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/com.kestrum.installer.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT installer)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/com.kestrum.installer.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT installer)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/com.kestrum.installer.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT installer)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Prismora_Installer.1 ${CMAKE_CURRENT_BINARY_DIR}/packaging/Prismora_Installer.1
    COPYONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/packaging/Prismora_Installer.1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/Prismora_Installer.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT installer)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/completion/Prismora_Installer
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT installer)

# Every package carries a copyright file and a compressed changelog.
string(TIMESTAMP PRISMORA_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
foreach(component package IN ZIP_LISTS PRISMORA_PACKAGE_COMPONENTS PRISMORA_PACKAGE_NAMES)
    set(doc ${CMAKE_CURRENT_BINARY_DIR}/packaging/${package})
    configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${doc}/changelog @ONLY)
    execute_process(COMMAND gzip -9nf ${doc}/changelog)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${doc}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
    string(TOUPPER ${component} upper)
    set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package})
    set(CPACK_DEBIAN_${upper}_FILE_NAME DEB-DEFAULT)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME prismora)
set(CPACK_PACKAGE_VENDOR "Kestrum")
set(CPACK_PACKAGE_CONTACT "Kestrum Packaging <packaging@kestrum.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${PRISMORA_PACKAGE_COMPONENTS})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.prismora.com")
# The package's own libraries: dpkg-shlibdeps finds them here instead of in an installed package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/platform ${CMAKE_BINARY_DIR}/mirakit)

set(CPACK_COMPONENT_INSTALLER_DEPENDS runtime)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_DEBIAN_INSTALLER_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The library cache is refreshed once per dpkg run rather than by each package's scripts.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/triggers)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev, qt6-svg-dev")

# Each package's synopsis is the first line of its description; the
# project-wide summary would otherwise be put in front of it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_DEBIAN_INSTALLER_DESCRIPTION "desktop installer for the Prismora application
Prismora Installer downloads the Prismora application archive, checks it,
places the application in the applications folder and starts it.")
set(PRISMORA_MIRAKIT_DESCRIPTION "MiraKit is a library of interactive buttons, labels, progress views and
sheet windows for Qt 6 Widgets applications, together with the small
platform layer it builds on.")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "Qt Widgets control library (shared libraries)
${PRISMORA_MIRAKIT_DESCRIPTION}
.
This package contains the shared libraries.")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "Qt Widgets control library (development files)
${PRISMORA_MIRAKIT_DESCRIPTION}
.
This package contains the headers, the CMake package used with
find_package(MiraKit) and the Qt Designer plug-in for the MiraKit widgets.")

include(CPack)
