// Writes PNG pictures of the chart with synthetic data, for the documentation.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <qcustomplot.h>

#include "chart/chartview.h"
#include "chart/printing.h"
#include "synthetic.h"

using namespace veltrano;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);

    // Three weeks at one sample a second.
    synthetic::Recording rec = synthetic::makeRecording(21 * 86400);
    ChartView chart;
    chart.resize(900, 560);
    chart.show();
    chart.startProcessing(3); // days
    for (auto& t : rec.voltageTimes)
        t *= 60.0f / 86400.0f;
    for (auto& t : rec.temperatureTimes)
        t *= 60.0f / 86400.0f;
    chart.finishRecording(9.2, 15.6, 9.0, 27.0, rec.voltageTimes[rec.voltageSampleCount]);
    chart.endProcessing();
    ChartFill fill;
    fill.voltageTimes = rec.voltageTimes.data();
    fill.voltageValues = rec.voltageValues.data();
    fill.voltageSampleCount = rec.voltageSampleCount;
    fill.temperatureTimes = rec.temperatureTimes.data();
    fill.temperatureValues = rec.temperatureValues.data();
    fill.temperatureSampleCount = rec.temperatureSampleCount;
    fill.beginPointSeconds = rec.beginPointSeconds;
    fill.limits = {14.6, 12.0, 25, 12};
    chart.fill(fill);
    chart.redraw();
    QApplication::processEvents();
    chart.grab().save(dir + QStringLiteral("/chart-full.png"));

    // A mouse zoom over days 3 to 6, upper half of the voltage range.
    QCustomPlot* plot = chart.plot();
    const QPoint from(int(plot->xAxis->coordToPixel(3.2)), int(plot->yAxis->coordToPixel(15.0)));
    const QPoint to(int(plot->xAxis->coordToPixel(5.6)), int(plot->yAxis->coordToPixel(11.5)));
    chart.dragRectangle(from, to);
    chart.redraw();
    QApplication::processEvents();
    chart.grab().save(dir + QStringLiteral("/chart-zoomed.png"));

    chart.markersCheckBox()->setChecked(true);
    chart.setMeasuringLine(1, 4.5);
    chart.redraw();
    QApplication::processEvents();
    chart.grab().save(dir + QStringLiteral("/chart-markers.png"));

    // A page as the printer gets it, at 300 dpi, scaled down for the picture.
    QImage page(2480, 3508, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811);
    page.setDotsPerMeterY(11811);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        drawChart(painter, recordChartPage(chart, page.rect(), page.logicalDpiX()));
    }
    page.scaledToWidth(620, Qt::SmoothTransformation).save(dir + QStringLiteral("/chart-page.png"));
    page.copy(chartArea(page.rect()).adjusted(0, 0, -1000, -700))
        .save(dir + QStringLiteral("/chart-page-detail.png"));
    return 0;
}
