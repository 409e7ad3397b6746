if(TARGET mirakit_designer)
    find_package(Qt6 6.4 REQUIRED COMPONENTS UiPlugin)
    prismora_add_test(tst_designerplugin SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_designerplugin.cpp
        LIBS MiraKit Qt6::UiPlugin LABELS widget)
    target_compile_definitions(tst_designerplugin PRIVATE
        MIRAKIT_DESIGNER_PLUGIN="$<TARGET_FILE:mirakit_designer>")
    add_dependencies(tst_designerplugin mirakit_designer)
endif()
