# pennavox_module(NAME [LIBS ...] [UI_LIBS ...])
# Builds two static libraries from a feature folder: NAME from the files at the folder's root
# (Qt Core and Qt SQL only: logic never includes widgets) and NAME_ui from ui/ (pages, grid models,
# report forms), which links NAME and Qt Widgets.
function(pennavox_module name)
    cmake_parse_arguments(PM "" "" "LIBS;UI_LIBS" ${ARGN})
    file(GLOB logic_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${logic_sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Sql ${PM_LIBS})

    file(GLOB ui_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h)
    if(ui_sources)
        add_library(${name}_ui STATIC ${ui_sources})
        target_link_libraries(${name}_ui PUBLIC ${name} Qt6::Widgets ${PM_UI_LIBS})
    endif()
endfunction()

# pennavox_test(NAME SOURCES ... LIBS ...): one Qt Test executable run offscreen by CTest.
function(pennavox_test name)
    cmake_parse_arguments(PT "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${PT_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test testsupport cnumbers ${PT_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0"
        TIMEOUT 600)
endfunction()
