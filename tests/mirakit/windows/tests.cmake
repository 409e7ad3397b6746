set(MIRAKIT_WINDOWS_TEST_LIBS MiraKit prismora_testsupport)
prismora_add_test(tst_mousetracking SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mousetracking.cpp LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS widget)
prismora_add_test(tst_layoutconstraint SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_layoutconstraint.cpp
    LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS unit)
prismora_add_test(tst_sheetwindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_sheetwindow.cpp
    LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS widget)
prismora_add_test(tst_interactivelabellayout SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_interactivelabellayout.cpp
    LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS unit)
prismora_add_test(tst_qzalert SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_qzalert.cpp
    ${PROJECT_SOURCE_DIR}/examples/gallery/AlertsGalleryPage.cpp LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS widget)
target_include_directories(tst_qzalert PRIVATE ${PROJECT_SOURCE_DIR}/examples/gallery ${PROJECT_SOURCE_DIR}/tests/mirakit/interactive)
prismora_add_test(tst_miraslider SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_miraslider.cpp
    ${PROJECT_SOURCE_DIR}/examples/gallery/SliderGalleryPage.cpp
    LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS widget)
target_include_directories(tst_miraslider PRIVATE ${PROJECT_SOURCE_DIR}/examples/gallery)
prismora_add_test(tst_miraswitch SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_miraswitch.cpp
    LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS widget)
prismora_add_test(tst_textfields SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_textfields.cpp
    LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS widget)
prismora_add_test(tst_popover SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_popover.cpp
    ${PROJECT_SOURCE_DIR}/examples/gallery/PopoverGalleryPage.cpp
    LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS widget)
target_include_directories(tst_popover PRIVATE ${PROJECT_SOURCE_DIR}/examples/gallery)
prismora_add_test(tst_layoutaxissolver SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_layoutaxissolver.cpp
    LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS unit)
prismora_add_test(tst_nibview SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_nibview.cpp
    LIBS ${MIRAKIT_WINDOWS_TEST_LIBS} LABELS widget)
file(GLOB NIBVIEW_TEST_FILES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/nibs/*.ui)
# Loaded at run time, not compiled by uic.
set_source_files_properties(${NIBVIEW_TEST_FILES} PROPERTIES SKIP_AUTOUIC ON)
qt_add_resources(tst_nibview "nibview_nibs" PREFIX "/nibs" BASE ${CMAKE_CURRENT_LIST_DIR}/nibs
    FILES ${NIBVIEW_TEST_FILES})
