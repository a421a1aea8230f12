# turnwise_add_test(NAME SOURCES file... LIBS lib... [ENVIRONMENT VAR=value...])
# Builds one Qt Test program and registers it with CTest.
function(turnwise_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test turnwise_options)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENVIRONMENT}"
        TIMEOUT 300)
endfunction()
