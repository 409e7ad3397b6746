set(INTERFACE_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})
prismora_add_test(tst_stringstable SOURCES ${INTERFACE_TEST_DIR}/tst_stringstable.cpp LIBS platform prismora_testsupport)
prismora_add_test(tst_localizedformat SOURCES ${INTERFACE_TEST_DIR}/tst_localizedformat.cpp
    LIBS prismora_core prismora_testsupport)
prismora_add_test(tst_localization SOURCES ${INTERFACE_TEST_DIR}/tst_localization.cpp
    LIBS prismora_core prismora_testsupport LABELS widget)
prismora_add_test(tst_styledbuttons SOURCES ${INTERFACE_TEST_DIR}/tst_styledbuttons.cpp
    ${INTERFACE_TEST_DIR}/StyledButtonsForm.ui LIBS prismora_core prismora_testsupport LABELS widget)
prismora_add_test(tst_installeralert SOURCES ${INTERFACE_TEST_DIR}/tst_installeralert.cpp
    LIBS prismora_core prismora_testsupport LABELS widget)
