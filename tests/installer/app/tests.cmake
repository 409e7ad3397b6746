set(APP_TEST_LIBS prismora_core prismora_testsupport)
prismora_add_test(tst_appdelegate SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_appdelegate.cpp LIBS ${APP_TEST_LIBS})
prismora_add_test(tst_rootwindowcontroller SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_rootwindowcontroller.cpp
    LIBS ${APP_TEST_LIBS} LABELS widget)
