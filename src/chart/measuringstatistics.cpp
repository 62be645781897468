#include "chart/measuringstatistics.h"

#include <cmath>

#include <QCheckBox>
#include <QLocale>

#include "chart/chartview.h"
#include "chart/measuringlines.h"
#include "recording/timeunits.h"

namespace veltrano {

namespace {

QString figuresText(const QString& quantity, const RangeFigures& f, const QString& unit,
                    const QLocale& locale) {
    if (f.count == 0)
        return quantity + QStringLiteral(": geen metingen");
    const auto value = [&](double v) { return locale.toString(v, 'f', 2) + unit; };
    return quantity + QStringLiteral(": ") + locale.toString(f.count) +
           QStringLiteral(" metingen, min ") + value(f.minimum) + QStringLiteral(", max ") +
           value(f.maximum) + QStringLiteral(", gem. ") + value(f.mean) +
           QStringLiteral(", tijd boven ") + shortDurationText(f.secondsAbove) +
           QStringLiteral(", onder ") + shortDurationText(f.secondsBelow);
}

} // namespace

MeasuringStatistics::MeasuringStatistics(ChartView* chart, QWidget* parent)
    : QLabel(parent), chart_(chart) {
    setObjectName(QStringLiteral("measuringStatistics"));
    setAccessibleName(QStringLiteral("Meetlijnen"));
    const QString description = QStringLiteral(
        "Tussen de twee meetlijnen: de tijd, en voor spanning en temperatuur het aantal "
        "metingen, de laagste, hoogste en gemiddelde waarde en de tijd boven de bovengrens en "
        "onder de ondergrens");
    setAccessibleDescription(description);
    setToolTip(description);
    // Too long for one line beside the report: it wraps to a second one.
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (chart_) {
        connect(chart_, &ChartView::measuringLinesMoved, this, &MeasuringStatistics::showLines);
        connect(chart_->markersCheckBox(), &QCheckBox::toggled, this, &QWidget::setVisible);
        x1_ = chart_->measuringLine(1);
        x2_ = chart_->measuringLine(2);
    }
    if (!chart_ || !chart_->markersActive())
        hide();
    showLines(x1_, x2_);
}

void MeasuringStatistics::setIndex(RangeStatisticsIndex index) {
    index_ = std::move(index);
    showLines(x1_, x2_);
}

void MeasuringStatistics::clearIndex() {
    setIndex(RangeStatisticsIndex());
}

void MeasuringStatistics::showLines(double x1, double x2) {
    x1_ = x1;
    x2_ = x2;
    const QLocale locale;
    const TimeUnit& unit = kTimeUnits[std::size_t(chart_ ? chart_->unit() : kInitialTimeUnit)];
    const QString separator = QStringLiteral("  ·  ");
    QString text = MeasuringLines::distanceText(x1, x2, locale, QString::fromUtf8(unit.plural)) +
                   QStringLiteral(" (") + shortDurationText(std::abs(x2 - x1) * unit.divisor) +
                   QLatin1Char(')');
    if (!index_.empty()) {
        const RangeStatistics s = index_.between(x1, x2);
        text += separator +
                figuresText(QStringLiteral("Spanning"), s.voltage, QStringLiteral(" V"), locale);
        text += separator + figuresText(QStringLiteral("Temperatuur"), s.temperature,
                                        QStringLiteral(" °C"), locale);
    }
    setText(text);
}

} // namespace veltrano
