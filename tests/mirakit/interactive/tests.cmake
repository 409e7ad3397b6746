set(MIRAKIT_INTERACTIVE_TEST_LIBS MiraKit prismora_testsupport)
prismora_add_test(tst_interactive SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_interactive.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS unit)
prismora_add_test(tst_interactiveview SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_interactiveview.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS widget)
prismora_add_test(tst_spacingbuttoncell SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_spacingbuttoncell.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS unit)
prismora_add_test(tst_interactivebutton SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_interactivebutton.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS widget)
prismora_add_test(tst_gradient SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gradient.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS widget)
prismora_add_test(tst_lineprogressview SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_lineprogressview.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS widget)
prismora_add_test(tst_gallery SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gallery.cpp
    ${PROJECT_SOURCE_DIR}/examples/gallery/ControlsGalleryPage.cpp
    ${PROJECT_SOURCE_DIR}/examples/gallery/WindowsGalleryPage.cpp
    ${PROJECT_SOURCE_DIR}/examples/gallery/GalleryWindow.cpp
    ${PROJECT_SOURCE_DIR}/examples/gallery/SliderGalleryPage.cpp
    ${PROJECT_SOURCE_DIR}/examples/gallery/InputsGalleryPage.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS widget)
target_include_directories(tst_gallery PRIVATE ${PROJECT_SOURCE_DIR}/examples/gallery)
prismora_add_test(tst_interactivelabel SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_interactivelabel.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS widget)

# find_package(MiraKit) from a separate project against an installed copy.
add_test(NAME tst_mirakit_consumer
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}/../consumer
        -DWORK_DIR=${CMAKE_BINARY_DIR}/consumer-test -DGENERATOR=${CMAKE_GENERATOR}
        "-DCONSUMER_CXX_FLAGS=${CMAKE_CXX_FLAGS}" "-DCONSUMER_LINKER_FLAGS=${CMAKE_EXE_LINKER_FLAGS}"
        -P ${CMAKE_CURRENT_LIST_DIR}/../consumer/run-consumer-test.cmake)
set_tests_properties(tst_mirakit_consumer PROPERTIES LABELS unit TIMEOUT 600)
target_sources(tst_gallery PRIVATE ${PROJECT_SOURCE_DIR}/examples/gallery/AlertsGalleryPage.cpp)
prismora_add_test(tst_displaylink SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_displaylink.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS widget)
prismora_add_test(tst_disabledcontrols SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_disabledcontrols.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS widget)
prismora_add_test(tst_properties SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_properties.cpp
    LIBS ${MIRAKIT_INTERACTIVE_TEST_LIBS} LABELS widget)
target_sources(tst_gallery PRIVATE ${PROJECT_SOURCE_DIR}/examples/gallery/StatesGalleryPage.cpp)
target_sources(tst_disabledcontrols PRIVATE ${PROJECT_SOURCE_DIR}/examples/gallery/StatesGalleryPage.cpp)
target_include_directories(tst_disabledcontrols PRIVATE ${PROJECT_SOURCE_DIR}/examples/gallery)
target_sources(tst_gallery PRIVATE ${PROJECT_SOURCE_DIR}/examples/gallery/PopoverGalleryPage.cpp)
target_sources(tst_gallery PRIVATE ${PROJECT_SOURCE_DIR}/examples/gallery/NibGalleryPage.cpp)
# Loaded at run time, not compiled by uic.
set_source_files_properties(${PROJECT_SOURCE_DIR}/examples/gallery/nibs/ProfileCard.ui PROPERTIES SKIP_AUTOUIC ON)
qt_add_resources(tst_gallery "gallery_nibs" PREFIX "/nibs" BASE ${PROJECT_SOURCE_DIR}/examples/gallery/nibs
    FILES ${PROJECT_SOURCE_DIR}/examples/gallery/nibs/ProfileCard.ui)
