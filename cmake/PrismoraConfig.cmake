# Compiled-in defaults. Every value here can be overridden at run time by the
# environment variable documented in docs/configuration.md.
set(PRISMORA_BUNDLE_IDENTIFIER "com.kestrum.installer" CACHE STRING "Installer bundle identifier")
set(PRISMORA_MINIMUM_SYSTEM_VERSION "10.13" CACHE STRING "LSMinimumSystemVersion of the installer bundle")
set(PRISMORA_SITE_INDEX 2 CACHE STRING "Regional site the installer is built for (0-11)")
set(PRISMORA_DOWNLOAD_HOSTS
    "download.prismora.com,download-jp.prismora.com,download-de.prismora.com,resource.prismora.com/product"
    CACHE STRING "Download hosts in role order main, japan, german, resource")
set(PRISMORA_ARCHIVE_SIZE "" CACHE STRING "Expected size in bytes of the product archive (empty: not checked)")
set(PRISMORA_ARCHIVE_SHA256 "" CACHE STRING "Expected SHA-256 of the product archive, hex (empty: not checked)")
set(PRISMORA_ARCHIVE_PUBLIC_KEYS "" CACHE STRING
    "Minisign public keys (base64 lines of .pub files, comma-separated) one of which must sign the archive (empty: not checked)")
set(PRISMORA_ANALYTICS_MEASUREMENT_ID "G-7QKD2M4XPZ" CACHE STRING "Measurement id of the usage-event stream")
set(PRISMORA_ANALYTICS_API_SECRET "Zq8xR2mNt5LvK9wHc3JfYb" CACHE STRING "API secret of the usage-event stream")
set(PRISMORA_ANALYTICS_ENDPOINT "https://www.google-analytics.com" CACHE STRING "Collection endpoint")

# prismora_add_test(<name> SOURCES ... [LIBS ...] [LABELS ...] [FUNCTIONS ...])
# One QtTest executable registered with CTest; with FUNCTIONS, one CTest test
# per listed test function (<name>_<function>), each in a process of its own.
# Every test runs on the offscreen platform with one 1440 x 900 screen and
# saves its screenshots under the build folder.
function(prismora_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;FUNCTIONS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    set(tests)
    if(ARG_FUNCTIONS)
        foreach(function IN LISTS ARG_FUNCTIONS)
            add_test(NAME ${name}_${function} COMMAND ${name} ${function})
            list(APPEND tests ${name}_${function})
        endforeach()
    else()
        add_test(NAME ${name} COMMAND ${name})
        set(tests ${name})
    endif()
    if(NOT ARG_LABELS)
        set(ARG_LABELS unit)
    endif()
    set_tests_properties(${tests} PROPERTIES
        LABELS "${ARG_LABELS}"
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${PROJECT_SOURCE_DIR}/tests/fixtures/offscreen-1440x900.json;PRISMORA_NO_ANALYTICS=;DO_NOT_TRACK=;SCREENSHOT_DIR=${CMAKE_BINARY_DIR}/screenshots")
endfunction()
