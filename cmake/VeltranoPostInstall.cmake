# Run at the end of `cmake --install`: refreshes the desktop's caches so that the menu entry,
# the file type and the icon work at once, and has udev reload the logger's rule. Skipped
# for staged installs (DESTDIR, or CPack's staging below the build tree), where the package
# manager does this on the target system. Never fails the install.
# Set by the install rule: VELTRANO_BINARY_DIR, VELTRANO_DATADIR.
set(_prefix "${CMAKE_INSTALL_PREFIX}")
string(FIND "${_prefix}/" "${VELTRANO_BINARY_DIR}/" _in_build_tree)
if(NOT "$ENV{DESTDIR}" STREQUAL "" OR _in_build_tree EQUAL 0
   OR _prefix MATCHES "/_CPack_Packages/")
    return()
endif()

function(_veltrano_refresh tool)
    find_program(_path ${tool} NO_CACHE)
    if(NOT _path)
        return()
    endif()
    message(STATUS "Running ${tool} ${ARGN}")
    execute_process(COMMAND ${_path} ${ARGN} RESULT_VARIABLE _rc)
    if(NOT _rc EQUAL 0)
        message(STATUS "${tool} failed (${_rc}); run it by hand")
    endif()
endfunction()

set(_share "${VELTRANO_DATADIR}")
if(NOT IS_ABSOLUTE "${_share}")
    set(_share "${_prefix}/${_share}")
endif()
if(EXISTS "${_share}/mime/packages")
    _veltrano_refresh(update-mime-database "${_share}/mime")
endif()
if(EXISTS "${_share}/applications")
    _veltrano_refresh(update-desktop-database -q "${_share}/applications")
endif()
if(EXISTS "${_share}/icons/hicolor/index.theme")
    _veltrano_refresh(gtk-update-icon-cache -q -t -f "${_share}/icons/hicolor")
endif()
# Only where udev looks for rules, and only when udev runs.
if((_prefix STREQUAL "/usr" OR _prefix STREQUAL "/usr/local") AND EXISTS /run/udev/control)
    _veltrano_refresh(udevadm control --reload-rules)
endif()
