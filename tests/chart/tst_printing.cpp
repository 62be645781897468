#include <QCheckBox>
#include <QFile>
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

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
