prismora_add_test(tst_analytics_e2e SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_analytics_e2e.cpp
    LIBS prismora_testsupport LABELS e2e)
add_dependencies(tst_analytics_e2e Prismora_Installer)
target_include_directories(tst_analytics_e2e PRIVATE ${PROJECT_SOURCE_DIR}/tests/fixtures)
target_compile_definitions(tst_analytics_e2e PRIVATE
    COLLECTOR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/collector.py"
    INSTALLER_PROGRAM="$<TARGET_FILE:Prismora_Installer>")
