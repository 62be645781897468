#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace veltrano {

// The logo picture: scaled to fit with its aspect kept, sharp at any device pixel ratio,
// hand cursor. It is a button: clicked, or pressed with Space once Tab has reached it. It
// shrinks down to a small picture when the height is short.
class LogoView : public QAbstractButton {
    Q_OBJECT
public:
    explicit LogoView(const QPixmap& picture, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int heightAt(int width) const;

    QPixmap picture_;
};

} // namespace veltrano
