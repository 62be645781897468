#pragma once

#include <QColor>

class QWidget;

namespace veltrano {

// The grey of every window of the program and of the chart's background.
inline const QColor kWindowGrey(160, 160, 164);

// Gives a window the grey as its background.
void useWindowGrey(QWidget& window);

} // namespace veltrano
