set(STYLING_TEST_LIBS prismora_core prismora_testsupport)
prismora_add_test(tst_designableproperties SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_designableproperties.cpp
    LIBS ${STYLING_TEST_LIBS} LABELS widget)
prismora_add_test(tst_imageviews SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_imageviews.cpp
    LIBS ${STYLING_TEST_LIBS} LABELS widget)
