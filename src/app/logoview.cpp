#include "logoview.h"

#include <QMouseEvent>
#include <QPainter>

namespace veltrano {

LogoView::LogoView(const QPixmap& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setCursor(Qt::PointingHandCursor);
    // A fixed height; the report box above takes the rest of the column.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize LogoView::sizeHint() const {
    const int w = fontMetrics().averageCharWidth() * 40;
    const int h =
        picture_.isNull() || picture_.width() == 0 ? 0 : w * picture_.height() / picture_.width();
    return {w, h};
}

QSize LogoView::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 16, sizeHint().height()};
}

void LogoView::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QSizeF size = picture_.size();
    size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
    const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                        size.height());
    painter.drawPixmap(target, picture_, QRectF(picture_.rect()));
}

void LogoView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace veltrano
