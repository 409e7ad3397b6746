set(INSTALLER_SESSION_SOURCES
    AppDelegate.cpp
    RootWindowController.cpp
    SoftWare.cpp
    TerminationSignals.cpp
    TrackModel.cpp
    TrackingRecord.cpp
)
