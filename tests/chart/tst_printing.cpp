#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include "chart/chartview.h"
#include "chart/printing.h"
#include "chartfixture.h"
#include "pdftext.h"

using veltrano::ChartView;

namespace {

std::unique_ptr<QPrinter> pdfPrinter(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

PdfText readPdfFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return readPdf(f.readAll());
}

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }
    void chartArea_data();
    void chartArea();
    void chartToPdf_data();
    void chartToPdf();
    void drawingFillsItsTarget_data();
    void drawingFillsItsTarget();

private:
    QTemporaryDir dir_;
};

void PrintingTest::chartArea_data() {
    QTest::addColumn<QRect>("page");
    QTest::addColumn<QRect>("area");
    QTest::newRow("round numbers") << QRect(0, 0, 1000, 2000) << QRect(150, 400, 700, 1200);
    QTest::newRow("A4 at 600 dpi") << QRect(0, 0, 4961, 7016) << QRect(744, 1403, 3473, 4210);
    QTest::newRow("margins rounded") << QRect(0, 0, 333, 111) << QRect(50, 22, 233, 67);
}

void PrintingTest::chartArea() {
    QFETCH(QRect, page);
    QTEST(veltrano::chartArea(page), "area");
}

void PrintingTest::chartToPdf_data() {
    QTest::addColumn<bool>("filled");
    QTest::newRow("empty chart, before any processing") << false;
    QTest::newRow("filled, one series hidden") << true;
}

void PrintingTest::chartToPdf() {
    QFETCH(bool, filled);
    ChartView chart;
    showChart(chart);
    Samples s;
    for (int i = 0; i < 1000; ++i) {
        s.voltage(i / 10.0f, 12.0f + (i % 13) * 0.1f);
        s.temperature(i / 10.0f, 20.0f);
    }
    if (filled) {
        chart.startProcessing(1);
        chart.finishRecording(12, 13.2, 20, 20, 99.9);
        chart.endProcessing();
        chart.fill(s.fill());
    }
    chart.legendCheckBox(ChartView::UnderTemperatureLimit)->setChecked(false);
    const QString path = dir_.filePath(QStringLiteral("grafiek-%1.pdf").arg(filled));
    auto printer = pdfPrinter(path);
    QVERIFY(veltrano::printChart(chart, *printer));

    PdfText pdf = readPdfFile(path);
    pdf.text = withoutBlanks(pdf.text);
    QCOMPARE(pdf.pages, 1);
    QVERIFY2(pdf.text.contains(QStringLiteral("Spanning(V)")), qPrintable(pdf.text));
    QVERIFY(pdf.text.contains(QStringLiteral("temperatuur(°C)")));
    // The legend goes on paper with the shown series only.
    QVERIFY(pdf.text.contains(QStringLiteral("Overspanning")));
    QVERIFY(!pdf.text.contains(QStringLiteral("Ondertemperatuur")));
    QCOMPARE(pdf.text.contains(QStringLiteral("minuten")), filled);
    // The screen chart is unchanged afterwards.
    QVERIFY(!chart.plot()->legend->visible());
}

void PrintingTest::drawingFillsItsTarget_data() {
    QTest::addColumn<int>("dpi");
    QTest::newRow("screen") << 96;
    QTest::newRow("printer, 600 dpi") << 600;
    QTest::newRow("report PDF, 1200 dpi") << 1200;
}

// A drawing made for a target lands on that target at any resolution: not larger, not
// smaller, not elsewhere.
void PrintingTest::drawingFillsItsTarget() {
    QFETCH(int, dpi);
    ChartView chart;
    showChart(chart);
    const double inch = dpi;
    QImage page(int(4 * inch), int(3 * inch), QImage::Format_RGB32);
    page.setDotsPerMeterX(qRound(dpi / 0.0254));
    page.setDotsPerMeterY(qRound(dpi / 0.0254));
    page.fill(Qt::white);
    const QRect target(int(0.5 * inch), int(0.5 * inch), int(3 * inch), int(2 * inch));
    const veltrano::ChartDrawing drawing = veltrano::recordChart(chart, target, dpi);
    {
        QPainter painter(&page);
        veltrano::drawChart(painter, drawing);
    }
    QRect painted;
    for (int y = 0; y < page.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x)
            if (line[x] != qRgb(255, 255, 255))
                painted |= QRect(x, y, 1, 1);
    }
    const int slack = int(inch / 48) + 1;
    QVERIFY2(target.adjusted(-slack, -slack, slack, slack).contains(painted),
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(painted.x())
                            .arg(painted.y())
                            .arg(painted.width())
                            .arg(painted.height())));
    QVERIFY(painted.width() > target.width() * 9 / 10);
    QVERIFY(painted.height() > target.height() * 9 / 10);
}

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
