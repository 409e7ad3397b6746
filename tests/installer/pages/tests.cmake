# The welcome, progress and failure pages in a real window.
prismora_add_test(tst_pages SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_pages.cpp
    LIBS prismora_core prismora_testsupport LABELS widget)
target_include_directories(tst_pages PRIVATE ${PROJECT_SOURCE_DIR}/tests/fixtures ${PROJECT_SOURCE_DIR}/tests/mirakit/interactive)
target_compile_definitions(tst_pages PRIVATE MIRROR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror.py"
    MIRROR_CERTS_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror-certs.sh")

# The pages in four languages once more on a ×2 screen, screenshots included.
add_test(NAME tst_pages_hidpi COMMAND tst_pages screenshotsInFourLanguages)
set_tests_properties(tst_pages_hidpi PROPERTIES LABELS widget TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${PROJECT_SOURCE_DIR}/tests/fixtures/offscreen-2880x1800-x2.json;PRISMORA_NO_ANALYTICS=;DO_NOT_TRACK=;SCREENSHOT_DIR=${CMAKE_BINARY_DIR}/screenshots")
