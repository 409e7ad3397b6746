set(INSTALLER_INTERFACE_SOURCES
    ClickableImageView.cpp
    DesignableProperties.cpp
    MoveableImageView.cpp
    PoppinsFont.cpp
)
