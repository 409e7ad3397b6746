set(MIRAKIT_FOUNDATION_TEST_LIBS MiraKit prismora_testsupport)
prismora_add_test(tst_colorextensions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_colorextensions.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_versioncompare SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_versioncompare.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_stringextensions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_stringextensions.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_collectionextensions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_collectionextensions.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_dateextensions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_dateextensions.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_geometryextensions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_geometryextensions.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_dataextensions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_dataextensions.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_bundleextensions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_bundleextensions.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_fontextensions SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_fontextensions.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_wrappers SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_wrappers.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_pace SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_pace.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_stringdigests SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_stringdigests.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
prismora_add_test(tst_defaultsstores SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_defaultsstores.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS unit)
# Each keychain case runs in a process of its own: it starts its own session
# bus (and keyring daemon), which a process can only connect to once.
prismora_add_test(tst_keychainmanager SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_keychainmanager.cpp
    LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} Qt6::DBus LABELS unit
    FUNCTIONS valuesRoundTripAsOneElementArrays removeAllLeavesOtherApplicationsSecrets
              withoutADaemonCallsFailClearly aLockedCollectionFailsClearly)
prismora_add_test(tst_viewhelpers SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_viewhelpers.cpp LIBS ${MIRAKIT_FOUNDATION_TEST_LIBS} LABELS widget)
