# Debian packages, made with `cpack -G DEB` in a release build:
#   veltrano  the viewer, veltrano-report, the data, the udev rule and their man pages
#   qlo-sim   the simulated logger, on its own because it needs umockdev
# The install components behind them are "viewer" and "simulator".

set(VELTRANO_PACKAGE_MAINTAINER "The Veltrano developers <veltrano@veltrano.nl>" CACHE STRING
    "Maintainer field of the Debian packages")

set(CPACK_PACKAGE_NAME veltrano)
set(CPACK_PACKAGE_VENDOR "The Veltrano developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Each package's description below starts with its own synopsis line. CPack's DEB generator
# would put this summary in front of it unless it is left at CPack's default text.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL viewer simulator)
set(CPACK_DEB_COMPONENT_INSTALL ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELTRANO_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_VIEWER_PACKAGE_NAME veltrano)
set(CPACK_DEBIAN_VIEWER_DESCRIPTION
"viewer for the recordings of the QLO battery data logger
Veltrano downloads the memory of a QLO battery data logger over USB, saves it
as an image file and opens such files again. It shows the recorded voltage and
temperature in a chart, lists the periods in which they stayed outside chosen
limits in a report, exports the measurements and events as CSV files and the
report with the chart as PDF, and sets the logger's measurement intervals. The
command veltrano-report writes the same report, exports and PDF from an image
file, and a summary over many images.

A udev rule lets the user of the local session use the logger without joining
the dialout group. The user interface is in Dutch.")
# Qt's own dialog texts in Dutch.
set(CPACK_DEBIAN_VIEWER_PACKAGE_RECOMMENDS qt6-translations-l10n)
# Applies the udev rule to a logger that is plugged in already.
set(CPACK_DEBIAN_VIEWER_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/debian/postinst)

set(CPACK_DEBIAN_SIMULATOR_PACKAGE_NAME qlo-sim)
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_SECTION devel)
# umockdev-wrapper, for --umockdev.
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_RECOMMENDS umockdev)
set(CPACK_DEBIAN_SIMULATOR_DESCRIPTION
"simulated QLO battery data logger
qlo-sim answers the serial protocol of the QLO battery data logger on a
pseudo-terminal, from a recording it holds, for trying and testing programs
without a logger. Under umockdev-wrapper it appears as a fake USB device with
the logger's identity, which the veltrano viewer finds like a real logger. It
can also misbehave like a failing logger.")

include(CPack)
