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

# turnwise_add_x11_test(NAME...)
# Runs already registered test programs again on a real X server (Xvfb), where windows go
# through the window system. They keep away from any desktop session bus: libdbus, failing to
# reach one, would also leave behind a buffer that the sanitizer build's leak checker reports.
function(turnwise_add_x11_test)
    find_program(XVFB_RUN xvfb-run)
    if(NOT XVFB_RUN)
        return()
    endif()
    foreach(test IN LISTS ARGN)
        add_test(NAME ${test}_x11
                 COMMAND ${XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${test}>)
        set_tests_properties(${test}_x11 PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=xcb;DBUS_SESSION_BUS_ADDRESS=disabled:"
            RESOURCE_LOCK x_server
            TIMEOUT 300)
    endforeach()
endfunction()
