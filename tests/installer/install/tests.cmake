set(INSTALL_TEST_LIBS prismora_core prismora_testsupport)
prismora_add_test(tst_bundlevalidator SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_bundlevalidator.cpp LIBS ${INSTALL_TEST_LIBS})
