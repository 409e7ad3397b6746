set(SESSION_TEST_LIBS prismora_core prismora_testsupport)
prismora_add_test(tst_appdelegate SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_appdelegate.cpp LIBS ${SESSION_TEST_LIBS})
prismora_add_test(tst_trackingrecord SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_trackingrecord.cpp LIBS ${SESSION_TEST_LIBS})
prismora_add_test(tst_rootwindowcontroller SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_rootwindowcontroller.cpp
    LIBS ${SESSION_TEST_LIBS} LABELS widget)
