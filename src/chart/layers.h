#pragma once

#include <span>
#include <vector>

#include <QFont>
#include <QPen>
#include <QPixmap>
#include <QRect>
#include <qcustomplot.h>

namespace veltrano {

// The vertical lines at the begin points, redrawn with every drawing of the chart. The
// times are sorted once per fill and unit, so a drawing only visits the lines in view.
class BeginPointLines : public QCPLayerable {
public:
    BeginPointLines(QCustomPlot* plot, QCPAxis* axis, std::size_t count);

    // Begin points in seconds; entries past the span's end count as 0.
    void setSeconds(std::span<const double> seconds);
    void setDivisor(int secondsPerUnit);
    // Distinct begin points in time units, ascending.
    const std::vector<double>& times() const { return times_; }

protected:
    QRect clipRect() const override;
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    void rebuild();

    QCPAxis* axis_;
    std::vector<double> seconds_;
    std::vector<double> times_;
    int divisor_ = 1;
    QPen pen_{QColor(0, 0, 0), 1};
};

// The titles of the three axes. The plot would lay each title out as text at every drawing,
// which costs more than a one-unit page itself; here a title is laid out once, drawn from a
// pixmap on screen and as text on paper. The axes keep room for them as padding.
class AxisTitles : public QCPLayerable {
public:
    AxisTitles(QCustomPlot* plot, const QFont& font);

    void setTitle(QCPAxis* axis, const QString& text);
    QString title(QCPAxis* axis) const;

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    struct Title {
        QCPAxis* axis = nullptr;
        QString text;
        QPixmap pixmap; // rendered text, upright, at the pixel ratio it was made for
    };
    Title* find(QCPAxis* axis);
    const Title* find(QCPAxis* axis) const;

    QFont font_;
    int height_ = 0;
    int basePadding_ = 0;
    std::vector<Title> titles_;
};

// The red rectangle while the user drags a zoom.
class ZoomBand : public QCPLayerable {
public:
    explicit ZoomBand(QCustomPlot* plot);
    QRect rect;

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;
};

} // namespace veltrano
