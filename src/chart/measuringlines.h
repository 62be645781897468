#pragma once

#include <array>

#include <QString>

class QCPItemStraightLine;
class QCPItemText;
class QCustomPlot;
class QFont;
class QLocale;

namespace veltrano {

// The two vertical measuring lines on the bottom axis (line 1 and line 2, index 0 and 1),
// each with a value label at its top.
class MeasuringLines {
public:
    MeasuringLines(QCustomPlot* plot, const QFont& font);

    bool active() const;
    void setActive(bool on);
    bool labelsVisible() const;
    void setLabelsVisible(bool on);

    double x(int i) const { return x_[i]; }
    void setX(int i, double x) { x_[i] = x; }
    // Line 1 a tenth of the range below its maximum, line 2 a tenth above its minimum.
    void place(double minimum, double maximum);
    void updateLabels(const QLocale& locale);
    QString label(int i) const;
    // Distance between the lines for the readout, with the unit's plural name.
    QString readout(const QLocale& locale, const QString& unitName) const {
        return distanceText(x_[0], x_[1], locale, unitName);
    }
    // The same for lines at x1 and x2.
    static QString distanceText(double x1, double x2, const QLocale& locale,
                                const QString& unitName);

    // The line within a few pixels of pixel column px, or -1; only while active.
    int nearest(double px) const;
    // Moves a line to pixel column px, kept inside the visible range.
    void dragTo(int i, double px);
    // Puts the items where the lines are; before every drawing.
    void sync();

private:
    QCustomPlot* plot_;
    std::array<QCPItemStraightLine*, 2> lines_{};
    std::array<QCPItemText*, 2> labels_{};
    std::array<double, 2> x_{0.0, 0.0};
};

} // namespace veltrano
