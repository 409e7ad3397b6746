set(INSTALLER_INSTALL_SOURCES
    BundleValidator.cpp
)
