prismora_add_test(tst_machineidentifier SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_machineidentifier.cpp
    LIBS platform prismora_testsupport)
prismora_add_test(tst_urlsession SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_urlsession.cpp
    LIBS platform prismora_testsupport Qt6::Network)
target_compile_definitions(tst_urlsession PRIVATE COLLECTOR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/collector.py")
target_include_directories(tst_urlsession PRIVATE ${PROJECT_SOURCE_DIR}/tests/fixtures)
prismora_add_test(tst_curlunavailable SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_curlunavailable.cpp
    LIBS platform)
prismora_add_test(tst_proxyenvironment SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_proxyenvironment.cpp
    LIBS platform prismora_testsupport)
target_compile_definitions(tst_proxyenvironment PRIVATE PROXY_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/connect-proxy.py"
    MIRROR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror.py"
    MIRROR_CERTS_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror-certs.sh")
target_include_directories(tst_proxyenvironment PRIVATE ${PROJECT_SOURCE_DIR}/tests/fixtures)
prismora_add_test(tst_downloadsession SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_downloadsession.cpp
    LIBS platform Qt6::Network prismora_testsupport)
target_compile_definitions(tst_downloadsession PRIVATE MIRROR_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror.py"
    MIRROR_CERTS_SCRIPT="${PROJECT_SOURCE_DIR}/tests/fixtures/mirror-certs.sh")
prismora_add_test(tst_responsehead SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_responsehead.cpp
    ${PROJECT_SOURCE_DIR}/platform/net/ResponseHead.cpp LIBS Qt6::Core)
target_include_directories(tst_responsehead PRIVATE ${PROJECT_SOURCE_DIR}/platform/net)
