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
prismora_add_test(tst_treecopy SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_treecopy.cpp LIBS ${INSTALL_TEST_LIBS})
prismora_add_test(tst_desktopentry SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_desktopentry.cpp LIBS ${INSTALL_TEST_LIBS})
prismora_add_test(tst_swapjournal SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_swapjournal.cpp LIBS ${INSTALL_TEST_LIBS})

# Every state a power cut during an install can leave, recovered and checked
# (tst_crashstate.py); exit code 77 when strace cannot trace here.
add_executable(crashstate_child ${CMAKE_CURRENT_LIST_DIR}/crashstate_child.cpp)
target_link_libraries(crashstate_child PRIVATE prismora_core)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME tst_crashstate
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/tst_crashstate.py $<TARGET_FILE:crashstate_child>
            ${PROJECT_SOURCE_DIR}/tests/fixtures/demo-product/Prismora.app)
set_tests_properties(tst_crashstate PROPERTIES LABELS unit TIMEOUT 120 SKIP_RETURN_CODE 77)
