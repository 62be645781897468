// MainWidgets: the chart with the overview strip and the measuring lines' figures under it,
// and the progress bars floating over it.
#include "mainwidgets.h"

#include <QGridLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "chart/chartview.h"
#include "chart/measuringstatistics.h"
#include "chart/overviewstrip.h"

namespace veltrano {

namespace {

QProgressBar* progressBar(QWidget* parent, const QString& name) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    bar->setAccessibleName(name);
    return bar;
}

// The floating progress bars: transparent for the mouse, so that the chart under them keeps
// its clicks, except where the one clickable control stands while it shows.
class ProgressArea : public QWidget {
public:
    using QWidget::QWidget;

    void setClickable(QWidget* control) {
        clickable_ = control;
        control->installEventFilter(this);
        updateMask();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
            updateMask();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void updateMask() {
        const bool open = clickable_ && !clickable_->isHidden();
        setAttribute(Qt::WA_TransparentForMouseEvents, !open);
        if (open)
            setMask(QRegion(QRect(clickable_->mapTo(this, QPoint(0, 0)), clickable_->size())));
        else
            clearMask();
    }

    QWidget* clickable_ = nullptr;
};

} // namespace

void MainWidgets::buildChartArea(QWidget* parent) {
    chartArea_ = new QWidget(parent);
    auto* layout = new QGridLayout(chartArea_);
    layout->setContentsMargins(0, 0, 0, 0);
    chart_ = new ChartView(chartArea_);
    layout->addWidget(chart_, 0, 0, 3, 3);
    overviewStrip_ = new OverviewStrip(chart_, chartArea_);
    layout->addWidget(overviewStrip_, 3, 0, 1, 3);
    measuringStatistics_ = new MeasuringStatistics(chart_, chartArea_);
    layout->addWidget(measuringStatistics_, 4, 0, 1, 3);

    // The bars float over the middle of the chart; clicks go through to the chart, but for
    // "Annuleren" of an export.
    auto* bars = new ProgressArea(chartArea_);
    auto* column = new QVBoxLayout(bars);
    column->setContentsMargins(0, 0, 0, 0);
    downloadBar_ = progressBar(bars, QStringLiteral("Voortgang ophalen"));
    eraseBar_ = progressBar(bars, QStringLiteral("Voortgang wissen"));
    processingBar_ = progressBar(bars, QStringLiteral("Voortgang verwerken"));
    exportBar_ = progressBar(bars, QStringLiteral("Voortgang exporteren"));
    for (QProgressBar* bar : {downloadBar_, eraseBar_, processingBar_, exportBar_}) {
        bar->setMinimumHeight(chartArea_->fontMetrics().height() * 2);
        bar->setAttribute(Qt::WA_TransparentForMouseEvents);
        column->addWidget(bar);
    }
    cancelExportButton_ = new QPushButton(QStringLiteral("Annuleren"), bars);
    cancelExportButton_->setAccessibleDescription(
        QStringLiteral("Het exporteren afbreken; een bestaand bestand blijft zoals het was"));
    column->addWidget(cancelExportButton_, 0, Qt::AlignHCenter);
    bars->setClickable(cancelExportButton_);
    layout->addWidget(bars, 1, 1);
    layout->setColumnStretch(0, 28);
    layout->setColumnStretch(1, 58);
    layout->setColumnStretch(2, 14);
    layout->setRowStretch(0, 1);
    layout->setRowStretch(2, 1);
    bars->raise();
}

} // namespace veltrano
