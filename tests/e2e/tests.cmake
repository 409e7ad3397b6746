prismora_add_test(tst_analytics_e2e SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_analytics_e2e.cpp
    LIBS prismora_testsupport LABELS e2e)
add_dependencies(tst_analytics_e2e Prismora_Installer)
target_include_directories(tst_analytics_e2e PRIVATE ${PROJECT_SOURCE_DIR}/tests/fixtures)
target_compile_definitions(tst_analytics_e2e PRIVATE
    COLLECTOR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/collector.py"
    INSTALLER_PROGRAM="$<TARGET_FILE:Prismora_Installer>")

# The whole installation through the real window, against the local mirror and collector.
prismora_add_test(tst_installflow_e2e
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_installflow_e2e.cpp ${PROJECT_SOURCE_DIR}/tests/fixtures/PageDriver.h
    LIBS prismora_core prismora_testsupport LABELS e2e
    FUNCTIONS success retryAfterEveryMirrorFailed replacePromptCancelKeepsTheCopy replacePromptReplaceInstalls
              protectedCopyNeedsTheAdministrator theWindowStaysLiveWhileTheAdministratorIsAsked
              closingDuringTheDownloadPauses hostileArchivesKeepTheInstalledCopy brokenArchiveShowsTheInstallFailure
              aSignedArchiveInstalls anArchiveSignedByAnotherKeyIsRefused)
target_include_directories(tst_installflow_e2e PRIVATE ${PROJECT_SOURCE_DIR}/tests/fixtures)
target_compile_definitions(tst_installflow_e2e PRIVATE
    COLLECTOR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/collector.py"
    MIRROR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror.py"
    MIRROR_CERTS_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror-certs.sh"
    DEMO_PRODUCT="${PROJECT_SOURCE_DIR}/tests/fixtures/demo-product/Prismora.app")

# Keyboard-only runs of the real installer on a virtual display, checked
# through the accessibility bus the way a screen reader reads it.
add_test(NAME tst_accessibility_e2e
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/accessibility/run-accessibility.sh
            $<TARGET_FILE:Prismora_Installer> ${PROJECT_SOURCE_DIR})
set_tests_properties(tst_accessibility_e2e PROPERTIES LABELS e2e TIMEOUT 180 RUN_SERIAL TRUE)

# The installer without a window: exit codes, events and what is left, for good and bad input.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME tst_unattended_e2e
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/unattended/tst_unattended.py
            $<TARGET_FILE:Prismora_Installer>)
set_tests_properties(tst_unattended_e2e PROPERTIES LABELS e2e TIMEOUT 300)

# Each of these installs and starts the demo product, and an install first
# stops every running copy of the product this user has: two at once could
# stop each other's product before it proves that it started.
get_property(e2e_tests DIRECTORY PROPERTY TESTS)
set_tests_properties(${e2e_tests} PROPERTIES RESOURCE_LOCK demo-product)
