#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include "app/printactions.h"
#include "pdftext.h"

class PrintActionsTest : public QObject {
    Q_OBJECT
private slots:
    void reportToPdf_data();
    void reportToPdf();

private:
    QTemporaryDir dir_;
};

void PrintActionsTest::reportToPdf_data() {
    QTest::addColumn<int>("lines");
    QTest::newRow("empty report, before any processing") << 0;
    QTest::newRow("one event") << 1;
    QTest::newRow("several pages") << 150;
}

void PrintActionsTest::reportToPdf() {
    QFETCH(int, lines);
    QStringList text;
    for (int i = 1; i <= lines; ++i) {
        text << QStringLiteral("Calamiteit %1\tOnderspanning 11,8 V").arg(i);
    }
    QTextDocument report;
    report.setPlainText(text.join('\n'));
    const QString path = dir_.filePath(QStringLiteral("rapport-%1.pdf").arg(lines));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    veltrano::printReportDocument(report, printer);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const PdfText pdf = readPdf(file.readAll());
    QVERIFY(pdf.raw.startsWith("%PDF"));
    QVERIFY(lines > 100 ? pdf.pages > 1 : pdf.pages == 1);
    // Every line, in order; page numbers may come in between.
    const QString printed = withoutBlanks(pdf.text);
    qsizetype from = 0;
    for (const QString& line : text) {
        from = printed.indexOf(withoutBlanks(line), from);
        QVERIFY2(from >= 0, qPrintable(line));
    }
    // The job's title, as the PDF's title in UTF-16.
    QVERIFY(pdf.raw.contains(QByteArray::fromHex("feff0072006100700070006f00720074")));
}

QTEST_MAIN(PrintActionsTest)
#include "tst_printactions.moc"
