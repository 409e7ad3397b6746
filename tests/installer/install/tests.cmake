set(INSTALL_TEST_LIBS prismora_core prismora_testsupport)
# Downloader, installer and launcher run against a local HTTPS mirror (tests/fixtures/mirror.py).
set(MIRROR_DEFINITIONS MIRROR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror.py"
    MIRROR_CERTS_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror-certs.sh")

prismora_add_test(tst_trackingrecord SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_trackingrecord.cpp LIBS ${INSTALL_TEST_LIBS})
prismora_add_test(tst_downloader SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_downloader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InstallerHarness.h LIBS ${INSTALL_TEST_LIBS} PkgConfig::LIBZIP)
target_compile_definitions(tst_downloader PRIVATE ${MIRROR_DEFINITIONS})
prismora_add_test(tst_packageinstaller SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_packageinstaller.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InstallerHarness.h LIBS ${INSTALL_TEST_LIBS} PkgConfig::LIBZIP)
target_compile_definitions(tst_packageinstaller PRIVATE ${MIRROR_DEFINITIONS})

add_executable(transaction_child ${CMAKE_CURRENT_LIST_DIR}/transaction_child.cpp)
target_link_libraries(transaction_child PRIVATE prismora_core)
prismora_add_test(tst_installtransaction SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_installtransaction.cpp
    LIBS ${INSTALL_TEST_LIBS} PkgConfig::LIBZIP)
target_compile_definitions(tst_installtransaction PRIVATE TRANSACTION_CHILD="$<TARGET_FILE:transaction_child>"
    ${MIRROR_DEFINITIONS})
add_dependencies(tst_installtransaction transaction_child)
prismora_add_test(tst_workfolder SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_workfolder.cpp LIBS ${INSTALL_TEST_LIBS})
prismora_add_test(tst_bundlevalidator SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_bundlevalidator.cpp LIBS ${INSTALL_TEST_LIBS})
prismora_add_test(tst_desktopentry SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_desktopentry.cpp LIBS ${INSTALL_TEST_LIBS})
