# The welcome, progress and failure pages in a real window.
prismora_add_test(tst_pages SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_pages.cpp
    LIBS prismora_core prismora_testsupport LABELS widget)
target_include_directories(tst_pages PRIVATE ${PROJECT_SOURCE_DIR}/tests/fixtures ${PROJECT_SOURCE_DIR}/tests/mirakit/interactive)
target_compile_definitions(tst_pages PRIVATE MIRROR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror.py"
    MIRROR_CERTS_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror-certs.sh")
