#include "logoview.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace veltrano {

LogoView::LogoView(const QPixmap& picture, QWidget* parent)
    : QAbstractButton(parent), picture_(picture) {
    setCursor(Qt::PointingHandCursor);
    // A click does not move the focus, as a picture's would not.
    setFocusPolicy(Qt::TabFocus);
    // Never taller than its hint, so that the report box above takes the rest of the
    // column; on a short screen it gives way down to a small picture.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
}

QSize LogoView::sizeHint() const {
    const int w = fontMetrics().averageCharWidth() * 40;
    return {w, heightAt(w)};
}

QSize LogoView::minimumSizeHint() const {
    const int w = fontMetrics().averageCharWidth() * 12;
    return {w, heightAt(w)};
}

int LogoView::heightAt(int width) const {
    if (picture_.isNull() || picture_.width() == 0)
        return 0;
    return width * picture_.height() / picture_.width();
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
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = target.toAlignedRect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace veltrano
