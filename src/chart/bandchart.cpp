#include "chart/bandchart.h"

#include <algorithm>

#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include "chart/serieslook.h"

namespace veltrano {

namespace {

struct QuantityLook {
    const char* axis;
    const char* unit;
    int decimals; // of the limits in the figures line
    QColor bars;
    QColor lower;
    QColor upper;
};

const QuantityLook& lookOf(BandChart::Quantity q) {
    static const QuantityLook looks[] = {
        {"Spanning (V)", "V", 2, kSeriesLook[0].colour, kSeriesLook[3].colour,
         kSeriesLook[2].colour},
        {"Temperatuur (\u00B0C)", "\u00B0C", 1, kSeriesLook[1].colour, kSeriesLook[5].colour,
         kSeriesLook[4].colour},
    };
    return looks[q];
}

QCPItemStraightLine* limitLine(QCustomPlot* plot, const QColor& colour) {
    auto* line = new QCPItemStraightLine(plot);
    line->setPen(QPen(colour, 2, Qt::DashLine));
    line->setVisible(false);
    return line;
}

void placeAt(QCPItemStraightLine* line, double x) {
    line->point1->setCoords(x, 0);
    line->point2->setCoords(x, 1);
    line->setVisible(std::isfinite(x));
}

} // namespace

BandChart::BandChart(Quantity quantity, QWidget* parent)
    : QWidget(parent), quantity_(quantity), plot_(new QCustomPlot(this)),
      bars_(new QCPBars(plot_->xAxis, plot_->yAxis)), figures_(new QLabel(this)) {
    const QuantityLook& look = lookOf(quantity);
    bars_->setPen(look.bars.darker(130));
    bars_->setBrush(look.bars);
    lowerLine_ = limitLine(plot_, look.lower);
    upperLine_ = limitLine(plot_, look.upper);
    plot_->xAxis->setLabel(QString::fromUtf8(look.axis));
    plot_->yAxis->setLabel(QStringLiteral("Uren"));
    plot_->setMinimumHeight(120);
    plot_->setAccessibleName(quantity == Voltage ? QStringLiteral("Verdeling spanning")
                                                 : QStringLiteral("Verdeling temperatuur"));
    figures_->setWordWrap(true);
    figures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(plot_, 1);
    column->addWidget(figures_);
    clear();
}

void BandChart::clear() {
    bars_->data()->clear();
    lowerLine_->setVisible(false);
    upperLine_->setVisible(false);
    figures_->clear();
    plot_->xAxis->setRange(0, 1);
    plot_->yAxis->setRange(0, 1);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void BandChart::show(const BandTable& bands, double lower, double upper) {
    if (bands.bands.empty()) {
        clear();
        return;
    }
    const double width = bands.width();
    bars_->setWidth(width);
    QVector<double> keys, hours;
    double highest = 0;
    for (std::size_t i = 0; i < bands.bands.size(); ++i) {
        keys << bands.lowerEdge(i) + width / 2;
        hours << bands.bands[i].seconds / 3600;
        highest = std::max(highest, hours.back());
    }
    bars_->setData(keys, hours, true);
    placeAt(lowerLine_, lower);
    placeAt(upperLine_, upper);
    // The bands and both limits in view.
    double from = bands.lowerEdge(0), to = bands.lowerEdge(bands.bands.size());
    for (double limit : {lower, upper}) {
        if (std::isfinite(limit)) {
            from = std::min(from, limit);
            to = std::max(to, limit);
        }
    }
    plot_->xAxis->setRange(from - width, to + width);
    plot_->yAxis->setRange(0, highest > 0 ? highest * 1.1 : 1);
    figures_->setText(bandFigures(bands, quantity_, lower, upper));
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

QString BandChart::figures() const {
    return figures_->text();
}

void BandChart::record(QPicture& picture, QSize size) const {
    QCPPainter painter(&picture);
    // Drawn afresh as vectors: the screen's cached pixmaps stay the screen's.
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    const int textHeight = painter.fontMetrics().height() * 2;
    const QSize plotSize(size.width(), std::max(1, size.height() - textHeight));
    plot_->toPainter(&painter, plotSize.width(), plotSize.height());
    painter.drawText(QRect(0, plotSize.height(), size.width(), textHeight),
                     Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, figures_->text());
}

QString bandFigures(const BandTable& bands, BandChart::Quantity quantity, double lower,
                    double upper) {
    const QuantityLook& look = lookOf(quantity);
    const QLocale locale;
    const double total = bands.secondsAbove + bands.secondsBetween + bands.secondsBelow;
    const auto part = [&](const QString& what, double seconds) {
        const double share = total > 0 ? 100.0 * seconds / total : 0.0;
        return QStringLiteral("%1: %2 uur (%3 %)")
            .arg(what, locale.toString(seconds / 3600, 'f', 1), locale.toString(share, 'f', 1));
    };
    const auto limit = [&](double v) {
        return locale.toString(v, 'f', look.decimals) + QLatin1Char(' ') +
               QString::fromUtf8(look.unit);
    };
    return part(QStringLiteral("Boven ") + limit(upper), bands.secondsAbove) +
           QStringLiteral("   ") + part(QStringLiteral("Tussen de grenzen"), bands.secondsBetween) +
           QStringLiteral("   ") +
           part(QStringLiteral("Onder ") + limit(lower), bands.secondsBelow);
}

} // namespace veltrano
