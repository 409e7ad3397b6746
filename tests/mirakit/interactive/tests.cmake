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
