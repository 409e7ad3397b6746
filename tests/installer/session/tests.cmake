set(SESSION_TEST_LIBS prismora_core prismora_testsupport)
prismora_add_test(tst_appdelegate SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_appdelegate.cpp LIBS ${SESSION_TEST_LIBS})
prismora_add_test(tst_trackingrecord SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_trackingrecord.cpp LIBS ${SESSION_TEST_LIBS})
prismora_add_test(tst_rootwindowcontroller SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_rootwindowcontroller.cpp
    LIBS ${SESSION_TEST_LIBS} LABELS widget)

# Downloader, installer and launcher: against a local HTTPS mirror (tests/fixtures/mirror.py).
set(MIRROR_DEFINITIONS MIRROR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror.py"
    MIRROR_CERTS_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror-certs.sh")
prismora_add_test(tst_downloadsession SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_downloadsession.cpp
    LIBS platform Qt6::Network prismora_testsupport)
target_compile_definitions(tst_downloadsession PRIVATE ${MIRROR_DEFINITIONS})
prismora_add_test(tst_downloader SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_downloader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InstallerHarness.h LIBS prismora_core prismora_testsupport)
target_compile_definitions(tst_downloader PRIVATE ${MIRROR_DEFINITIONS})
prismora_add_test(tst_ziparchive SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ziparchive.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ZipBuilder.h LIBS platform PkgConfig::LIBZIP prismora_testsupport)
prismora_add_test(tst_packageinstaller SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_packageinstaller.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InstallerHarness.h ${CMAKE_CURRENT_LIST_DIR}/ZipBuilder.h
    LIBS prismora_core prismora_testsupport)
target_compile_definitions(tst_packageinstaller PRIVATE ${MIRROR_DEFINITIONS})
prismora_add_test(tst_runningapplications SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_runningapplications.cpp
    LIBS platform prismora_testsupport)
prismora_add_test(tst_privilegedremoval SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_privilegedremoval.cpp
    LIBS platform prismora_testsupport)

# The welcome, progress and failure pages in a real window.
prismora_add_test(tst_pages SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_pages.cpp
    LIBS ${SESSION_TEST_LIBS} LABELS widget)
target_include_directories(tst_pages PRIVATE ${PROJECT_SOURCE_DIR}/tests/fixtures ${PROJECT_SOURCE_DIR}/tests/mirakit/interactive)
target_compile_definitions(tst_pages PRIVATE ${MIRROR_DEFINITIONS})
