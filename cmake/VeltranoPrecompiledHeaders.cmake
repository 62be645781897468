# Precompiled headers: Qt's and QCustomPlot's headers are most of what every file compiles, so
# they are compiled once per build into two headers that the targets share: one of QtCore for
# the core, one of QtWidgets and QCustomPlot for the chart, the windows and their tests. Only
# with GCC, which takes a shared header where the other targets' extra definitions do not
# touch it.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(_pch_default ON)
else()
    set(_pch_default OFF)
endif()
option(VELTRANO_PCH "Share precompiled Qt and QCustomPlot headers between the targets"
    ${_pch_default})

# Called last, once every target exists.
function(veltrano_share_precompiled_headers)
    if(NOT VELTRANO_PCH)
        return()
    endif()
    # What the files include most; a larger header costs each file more to load than it saves.
    set(_core <algorithm> <functional> <memory> <optional> <vector> <QByteArray>
        <QCoreApplication> <QDateTime> <QDir> <QFile> <QFileInfo> <QLocale> <QObject> <QString>
        <QStringList> <QTimer>)
    set(_widgets ${_core} <QApplication> <QCheckBox> <QComboBox> <QGroupBox> <QLabel>
        <QLineEdit> <QPainter> <QPlainTextEdit> <QPrinter> <QProgressBar> <QPushButton> <QWidget>
        <qcustomplot.h>)
    # Not QTest: each test defines the folders it finds its data in, which QTest's headers read.
    set(_links_core Qt6::Core)
    set(_links_widgets Qt6::Widgets Qt6::PrintSupport QCustomPlotQt6::QCustomPlotQt6)
    set(_headers_core ${_core})
    set(_headers_widgets ${_widgets})
    foreach(_kind core widgets)
        add_library(veltrano_pch_${_kind} STATIC ${PROJECT_SOURCE_DIR}/cmake/pch/donor.cpp)
        target_link_libraries(veltrano_pch_${_kind} PRIVATE ${_links_${_kind}})
        target_precompile_headers(veltrano_pch_${_kind} PRIVATE ${_headers_${_kind}})
    endforeach()

    set(_dirs ${PROJECT_SOURCE_DIR})
    set(_targets)
    while(_dirs)
        list(POP_FRONT _dirs _dir)
        get_property(_sub DIRECTORY ${_dir} PROPERTY SUBDIRECTORIES)
        get_property(_here DIRECTORY ${_dir} PROPERTY BUILDSYSTEM_TARGETS)
        list(APPEND _dirs ${_sub})
        list(APPEND _targets ${_here})
    endwhile()
    set(_uses_widgets veltrano_app veltrano_paper veltrano_chart Qt6::Widgets)
    foreach(_t ${_targets})
        get_target_property(_type ${_t} TYPE)
        if(NOT _type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$" OR _t MATCHES "^veltrano_pch_")
            continue()
        endif()
        get_target_property(_libs ${_t} LINK_LIBRARIES)
        # Only what is built against Qt: the shared header needs its include paths and flags.
        list(FILTER _libs INCLUDE REGEX "^(Qt6::|veltrano_|QCustomPlot)")
        if(NOT _libs)
            continue()
        endif()
        set(_kind core)
        foreach(_lib ${_uses_widgets})
            if(_lib IN_LIST _libs)
                set(_kind widgets)
            endif()
        endforeach()
        target_precompile_headers(${_t} REUSE_FROM veltrano_pch_${_kind})
        # Qt's generated files for a test hold next to nothing; the header would cost more.
        get_target_property(_bin ${_t} BINARY_DIR)
        set_source_files_properties(${_bin}/${_t}_autogen/mocs_compilation.cpp
            TARGET_DIRECTORY ${_t} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endforeach()
endfunction()
