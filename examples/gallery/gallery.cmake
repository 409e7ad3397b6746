# mirakit-gallery: every MiraKit control in every state, for documentation,
# screenshots and trying the controls by hand.
file(GLOB MIRAKIT_GALLERY_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_executable(mirakit-gallery ${MIRAKIT_GALLERY_SOURCES})
target_link_libraries(mirakit-gallery PRIVATE MiraKit::MiraKit)
# Loaded at run time by NibDesignView, not compiled by uic.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/nibs/ProfileCard.ui PROPERTIES SKIP_AUTOUIC ON)
qt_add_resources(mirakit-gallery "gallery_nibs" PREFIX "/nibs" BASE ${CMAKE_CURRENT_LIST_DIR}/nibs
    FILES ${CMAKE_CURRENT_LIST_DIR}/nibs/ProfileCard.ui)
