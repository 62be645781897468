#pragma once

#include <QPixmap>
#include <QWidget>

namespace veltrano {

// The logo picture: scaled to fit with its aspect kept, sharp at any device pixel ratio,
// hand cursor, clickable. It shrinks down to a small picture when the height is short.
class LogoView : public QWidget {
    Q_OBJECT
public:
    explicit LogoView(const QPixmap& picture, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int heightAt(int width) const;

    QPixmap picture_;
};

} // namespace veltrano
