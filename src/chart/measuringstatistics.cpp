#include "chart/measuringstatistics.h"

#include <cmath>

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>

#include "chart/chartview.h"
#include "chart/measuringlines.h"
#include "recording/timeunits.h"

namespace veltrano {

namespace {

enum Label { UnitTime, ClockTime, VoltageFigures, TemperatureFigures };

QString figuresText(const QString& quantity, const RangeFigures& f, const QString& unit,
                    const QLocale& locale) {
    if (f.count == 0)
        return quantity + QStringLiteral(": geen metingen");
    const auto value = [&](double v) { return locale.toString(v, 'f', 2); };
    const auto hours = [&](double seconds) { return value(seconds / 3600) + QStringLiteral(" u"); };
    return quantity + QStringLiteral(": ") + locale.toString(f.count) +
           QStringLiteral(" metingen, min ") + value(f.minimum) + QStringLiteral(", max ") +
           value(f.maximum) + QStringLiteral(", gem. ") + value(f.mean) + unit +
           QStringLiteral(", boven ") + hours(f.secondsAbove) + QStringLiteral(", onder ") +
           hours(f.secondsBelow);
}

} // namespace

MeasuringStatistics::MeasuringStatistics(ChartView* chart, QWidget* parent)
    : QWidget(parent), chart_(chart) {
    setObjectName(QStringLiteral("measuringStatistics"));
    setAccessibleName(QStringLiteral("Meetlijnen"));
    const QString description = QStringLiteral(
        "Tussen de twee meetlijnen: de tijd, en voor spanning en temperatuur het aantal "
        "metingen, de laagste, hoogste en gemiddelde waarde en de uren boven de bovengrens en "
        "onder de ondergrens");
    setAccessibleDescription(description);
    setToolTip(description);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(0);
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        labels_[i] = new QLabel(this);
        labels_[i]->setTextFormat(Qt::PlainText);
        labels_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(labels_[i], int(i % 2), int(i / 2));
    }
    // Where the chart is narrower than the figures, they wrap rather than widen the window.
    labels_[VoltageFigures]->setWordWrap(true);
    labels_[TemperatureFigures]->setWordWrap(true);
    grid->setColumnStretch(1, 1);

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
    labels_[UnitTime]->setText(
        MeasuringLines::distanceText(x1, x2, locale, QString::fromUtf8(unit.plural)));
    labels_[ClockTime]->setText(shortDurationText(std::abs(x2 - x1) * unit.divisor));
    QString voltage, temperature;
    if (!index_.empty()) {
        const RangeStatistics s = index_.between(x1, x2);
        voltage = figuresText(QStringLiteral("Spanning"), s.voltage, QStringLiteral(" V"), locale);
        temperature = figuresText(QStringLiteral("Temperatuur"), s.temperature,
                                  QStringLiteral(" °C"), locale);
    }
    labels_[VoltageFigures]->setText(voltage);
    labels_[TemperatureFigures]->setText(temperature);
}

QString MeasuringStatistics::text() const {
    const auto line = [](const QLabel* left, const QLabel* right) {
        return right->text().isEmpty() ? left->text()
                                       : left->text() + QStringLiteral("  ") + right->text();
    };
    return line(labels_[UnitTime], labels_[VoltageFigures]) + QLatin1Char('\n') +
           line(labels_[ClockTime], labels_[TemperatureFigures]);
}

} // namespace veltrano
