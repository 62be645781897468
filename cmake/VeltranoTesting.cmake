# veltrano_add_test(NAME name SOURCES ... LIBS ... [LABELS ...] [UMOCKDEV])
# One Qt Test executable registered with CTest; GUI tests run offscreen. UMOCKDEV runs it
# under umockdev-wrapper with the fake USB device; such tests take the system's serial lock
# file of ttyACM0 and must not run beside each other under ctest -j.
function(veltrano_add_test)
    cmake_parse_arguments(T "UMOCKDEV" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    # A test's own code needs little optimising: its time goes into the code it tests, which
    # keeps the build's level. Most of the suite's build time went into the tests' own files.
    target_compile_options(${T_NAME} PRIVATE -O1)
    if(T_UMOCKDEV)
        add_test(NAME ${T_NAME} COMMAND ${UMOCKDEV_WRAPPER} $<TARGET_FILE:${T_NAME}>)
    else()
        add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"
        LABELS "${T_LABELS}")
    if(T_UMOCKDEV)
        set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK fake_usb_ttyACM0)
    endif()
endfunction()
