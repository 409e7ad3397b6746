# mirakit-gallery: every MiraKit control in every state, for documentation,
# screenshots and trying the controls by hand.
file(GLOB MIRAKIT_GALLERY_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_executable(mirakit-gallery ${MIRAKIT_GALLERY_SOURCES})
target_link_libraries(mirakit-gallery PRIVATE MiraKit::MiraKit)
