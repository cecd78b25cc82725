# ferrowyn_add_test(name SOURCES ... [LINKS ...] [GUI] [LABELS ...])
# One GoogleTest executable registered as one CTest test. Every test runs with its own temporary HOME,
# a fixed time zone and the offscreen Qt platform; GUI tests get a QApplication.
function(ferrowyn_add_test name)
    cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LINKS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE ferrowyn_test_main_gui)
    else()
        target_link_libraries(${name} PRIVATE ferrowyn_test_main)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} ferrowyn_test_support ferrowyn_resources
                                          GTest::gtest GTest::gmock)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "TZ=Asia/Tokyo;QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;FERROWYN_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
        TIMEOUT 600)
    if(ARG_TIMEOUT)
        set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    endif()
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
