# veltrano_add_test(NAME name SOURCES ... LIBS ... [LABELS ...] [WRAPPER])
# One Qt Test executable registered with CTest; GUI tests run offscreen.
function(veltrano_add_test)
    cmake_parse_arguments(T "UMOCKDEV" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    if(T_UMOCKDEV)
        add_test(NAME ${T_NAME} COMMAND ${UMOCKDEV_WRAPPER} $<TARGET_FILE:${T_NAME}>)
    else()
        add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"
        LABELS "${T_LABELS}")
endfunction()
