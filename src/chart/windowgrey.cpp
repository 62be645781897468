#include "chart/windowgrey.h"

#include <QWidget>

namespace veltrano {

void useWindowGrey(QWidget& window) {
    QPalette grey = window.palette();
    grey.setColor(QPalette::Window, kWindowGrey);
    window.setPalette(grey);
    window.setAutoFillBackground(true);
}

} // namespace veltrano
