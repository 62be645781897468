#include "chart/legend.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPainter>
#include <qcustomplot.h>

#include "chart/serieslook.h"

namespace veltrano {

namespace {

QIcon swatch(const QColor& colour, int width) {
    QPixmap pixmap(18, 10);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(colour, width));
    p.drawLine(0, 5, 18, 5);
    return QIcon(pixmap);
}

const QColor kLit(214, 214, 218);

} // namespace

LegendRow::LegendRow(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addStretch();
    for (int s = 0; s < kEntries; ++s) {
        auto* box = new QCheckBox(QString::fromUtf8(kSeriesLook[s].title), this);
        icons_[s] = swatch(kSeriesLook[s].colour, 2);
        wideIcons_[s] = swatch(kSeriesLook[s].colour, 2 + kHighlightWidth);
        box->setIcon(icons_[s]);
        box->setChecked(true);
        // Lighting an entry changes its background only, so the row keeps its layout.
        box->setAutoFillBackground(true);
        box->setBackgroundRole(QPalette::Window);
        box->setProperty("highlighted", false);
        connect(box, &QCheckBox::toggled, this, [this, s](bool on) { emit shownChanged(s, on); });
        boxes_[s] = box;
        row->addWidget(box);
    }
    row->addStretch();
}

bool LegendRow::shown(int series) const {
    return boxes_[series]->isChecked();
}

void LegendRow::setHighlighted(std::optional<int> series) {
    if (series == highlighted_) {
        return;
    }
    auto light = [this](int s, bool on) {
        QCheckBox* box = boxes_[s];
        QPalette pal = box->palette();
        pal.setColor(QPalette::Window, on ? kLit : palette().color(QPalette::Window));
        box->setPalette(pal);
        box->setIcon(on ? wideIcons_[s] : icons_[s]);
        box->setProperty("highlighted", on);
    };
    if (highlighted_) {
        light(*highlighted_, false);
    }
    highlighted_ = series;
    if (highlighted_) {
        light(*highlighted_, true);
    }
}

PaperLegend::PaperLegend(QCustomPlot* plot, const std::vector<QCPAbstractPlottable*>& shown)
    : plot_(plot) {
    QCPLegend* legend = plot->legend;
    legend->clearItems();
    for (QCPAbstractPlottable* p : shown) {
        p->addToLegend(legend);
    }
    plot->axisRect()->insetLayout()->take(legend);
    plot->plotLayout()->addElement(1, 0, legend);
    plot->plotLayout()->setRowStretchFactor(1, 0.001);
    legend->setWrap(3);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setVisible(true);
}

PaperLegend::~PaperLegend() {
    // On screen the legend stays empty: even hidden, its entries would be measured at every
    // drawing.
    QCPLegend* legend = plot_->legend;
    legend->setVisible(false);
    legend->clearItems();
    plot_->plotLayout()->take(legend);
    plot_->plotLayout()->simplify();
    plot_->axisRect()->insetLayout()->addElement(legend, Qt::AlignRight | Qt::AlignTop);
}

} // namespace veltrano
