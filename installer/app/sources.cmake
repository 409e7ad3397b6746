set(INSTALLER_APP_SOURCES
    AppDelegate.cpp
    RootWindowController.cpp
    TerminationSignals.cpp
)
