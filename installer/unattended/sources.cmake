set(INSTALLER_UNATTENDED_SOURCES
    CommandLine.cpp
    EventWriter.cpp
    UnattendedInstall.cpp
)
