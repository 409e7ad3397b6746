set(MIRAKIT_FOUNDATION_TEST_LIBS MiraKit prismora_testsupport)
prismora_add_test(tst_colorextensions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_colorextensions.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
