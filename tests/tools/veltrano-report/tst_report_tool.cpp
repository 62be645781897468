#include <optional>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "pdftext.h"
#include "processingfixture.h"
#include "testfiles.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
struct ToolRun {
    int exitCode;
    QByteArray out;
    QByteArray err;
};
using Environment = QList<std::pair<QString, QString>>;
ToolRun runTool(const QStringList& args, const Environment& extra = {},
                const QString& program = VELTRANO_REPORT_TOOL) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "nl_NL.UTF-8");
    env.insert("LANG", "nl_NL.UTF-8");
    for (const auto& [name, value] : extra)
        env.insert(name, value);
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

const QByteArray kBom("\xEF\xBB\xBF");
} // namespace

class TestReportTool : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void jsonOfAGeneratedImage() {
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 60).voltage(12.8, 7).voltage(12.3).temperature(40, 6).temperature(20);
        b.done();
        const QString path = dir.filePath("e2e.img");
        QVERIFY(!b.save(path));

        const ToolRun run =
            runTool({"--format", "json", "--over", "12,6", "--unit", "minuten", path});
        QCOMPARE(run.exitCode, 0);
        QJsonParseError error{};
        const QJsonObject root = QJsonDocument::fromJson(run.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(root.value("voltage_samples").toInt(), 68);
        QCOMPARE(root.value("temperature_samples").toInt(), 8);
        QVERIFY(root.value("completed").toBool());
        QCOMPARE(root.value("messages").toArray().size(), qsizetype(0));
        const QJsonArray events = root.value("events").toArray();
        QCOMPARE(events.size(), qsizetype(2));
        const QJsonObject first = events.at(0).toObject();
        QCOMPARE(first.value("kind").toString(), QString("overspanning"));
        QCOMPARE(first.value("start").toDouble(), 60.0);
        QCOMPARE(first.value("end").toDouble(), 67.0);
        QCOMPARE(events.at(1).toObject().value("kind").toString(), QString("overtemperatuur"));
        const QJsonArray report = root.value("report").toArray();
        QCOMPARE(report.at(17).toObject().value("text").toString(),
                 QString("Aantal calamiteiten \t2"));
        QVERIFY(report.at(24).toObject().value("red").toBool());
        QVERIFY(run.out.contains("\"start\": 60.0"));
    }

    // The text form is the report box, one line each, tabs kept.
    void textIsTheReport() {
        ImageBuilder b = minuteRecording();
        b.voltage(12.8, 6).voltage(12.3).done();
        const QString path = dir.filePath("text.img");
        QVERIFY(!b.save(path));
        const ToolRun run = runTool({path});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = QString::fromUtf8(run.out).split('\n');
        QCOMPARE(lines.at(17), QString("Aantal calamiteiten \t1"));
        QCOMPARE(lines.at(1), QString("Gemiddelde spanning\t12,73 Volt"));
    }

    void durationTable() {
        const ToolRun run = runTool({"--duration-table", "--unit", "dagen"});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = QString::fromUtf8(run.out).split('\n');
        QCOMPARE(lines.at(0), QString("\t30 sec\t1 min\t5 min\t10 min\t20 min\t30 min"));
        QVERIFY(lines.at(2).startsWith("1 sec\t94\t"));
        QVERIFY(lines.at(8).endsWith("\t24.966"));
        QVERIFY(runTool({"--duration-table", "--unit", "eeuwen"}).exitCode != 0);
    }

    void failuresPrintNothingOnStdout_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QStringList{"/no/such/image"} << "niet openen";
        QTest::newRow("bad unit") << QStringList{"--unit", "jaren", "x"} << "jaren";
        QTest::newRow("bad limit") << QStringList{"--over", "1,2,3", "x"} << "Overspanning";
        QTest::newRow("unknown option") << QStringList{"--kleur", "rood", "x"} << "'kleur'.";
        QTest::newRow("no image") << QStringList{} << "geen beeldbestand";
        QTest::newRow("two images")
            << QStringList{"x", "y"} << "meer dan \u00E9\u00E9n beeldbestand";
        QTest::newRow("export kind")
            << QStringList{"--export", "stroom", "x"} << "\"stroom\" voor --export";
        QTest::newRow("export without image")
            << QStringList{"--export", "spanning"} << "geen beeldbestand";
        QTest::newRow("summary without images") << QStringList{"--summary"} << "geen beeldbestand";
        QTest::newRow("no jobs") << QStringList{"--summary", "--jobs", "0", "x"}
                                 << "\"0\" voor --jobs";
        QTest::newRow("jobs not a number")
            << QStringList{"--summary", "--jobs", "twee", "x"} << "\"twee\" voor --jobs";
        QTest::newRow("jobs without summary")
            << QStringList{"--jobs", "2", "x"} << "--jobs hoort alleen bij --summary";
        QTest::newRow("format of a summary") << QStringList{"--summary", "--format", "json", "x"}
                                             << "--format hoort alleen bij het rapport";
        QTest::newRow("two kinds of output")
            << QStringList{"--summary", "--export", "spanning", "x"} << "gaan niet samen";
        QTest::newRow("summary with a bad limit")
            << QStringList{"--summary", "--under", "", "x", "y"} << "Onderspanning";
        QTest::newRow("bad start")
            << QStringList{"--start", "gisteren", "x"} << "\"gisteren\" voor --start";
        QTest::newRow("table of an image")
            << QStringList{"--duration-table", "x"} << "geen beeldbestand";
        QTest::newRow("table with a limit")
            << QStringList{"--duration-table", "--over", "13"} << "--over hoort alleen bij";
        QTest::newRow("pdf and an export")
            << QStringList{"--pdf", "r.pdf", "--export", "spanning", "x"} << "gaan niet samen";
        QTest::newRow("pdf in json") << QStringList{"--pdf", "r.pdf", "--format", "json", "x"}
                                     << "--format hoort alleen bij het rapport";
        QTest::newRow("pdf without image") << QStringList{"--pdf", "r.pdf"} << "geen beeldbestand";
        QTest::newRow("pdf of two images")
            << QStringList{"--pdf", "r.pdf", "x", "y"} << "meer dan \u00E9\u00E9n beeldbestand";
        QTest::newRow("pdf without a name") << QStringList{"--pdf=", "x"} << "\"\" voor --pdf";
        QTest::newRow("pdf of a missing image")
            << QStringList{"--pdf", "r.pdf", "/no/such/image"} << "niet openen";
    }
    void failuresPrintNothingOnStdout() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const ToolRun run = runTool(args);
        QVERIFY(run.exitCode != 0);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    }

    // The same bytes as the window writes, on standard output, after the environment's locale
    // and time zone.
    void exportsOnStandardOutput_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Environment>("env");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("voltages") << QStringList{"--export", "spanning"} << Environment{}
                                  << QByteArray("tijd (minuten);spanning (V);datum en tijd\n"
                                                "0;12,30;2016-07-18T16:30:30\n"
                                                "1;12,80;2016-07-18T16:31:30\n"
                                                "2;12,30;2016-07-18T16:32:30\n");
        QTest::newRow("temperatures in seconds, decimal point")
            << QStringList{"--export", "temperatuur", "--unit", "seconden"}
            << Environment{{"LC_ALL", "C"}}
            << QByteArray("tijd (seconden),temperatuur (\xC2\xB0"
                          "C),datum en tijd\n"
                          "0,20.00,2016-07-18T16:30:30\n"
                          "60,-3.20,2016-07-18T16:31:30\n"
                          "120,20.00,2016-07-18T16:32:30\n");
        QTest::newRow("summer time begins in the local zone")
            << QStringList{"--export", "spanning", "--start", "2016-03-27T01:59:00"}
            << Environment{{"TZ", "Europe/Amsterdam"}}
            << QByteArray("tijd (minuten);spanning (V);datum en tijd\n"
                          "0;12,30;2016-03-27T01:59:00\n"
                          "1;12,80;2016-03-27T03:00:00\n"
                          "2;12,30;2016-03-27T03:01:00\n");
        QTest::newRow("days")
            << QStringList{"--export", "dagen"} << Environment{}
            << QByteArray("datum;spanningsmetingen;min spanning;tijd min spanning;max spanning;"
                          "tijd max spanning;gemiddelde spanning;temperatuurmetingen;"
                          "min temperatuur;tijd min temperatuur;max temperatuur;"
                          "tijd max temperatuur;gemiddelde temperatuur;calamiteiten\n"
                          "2016-07-18;3;12,30;16:30:30;12,80;16:31:30;12,47;"
                          "3;-3,20;16:31:30;20,00;16:30:30;12,27;0\n");
        QByteArray bands("soort,van,tot,metingen,uren\n"
                         "spanning,12.3,12.4,2,0.03333333333333333\n"
                         "spanning,12.4,12.5,0,0\n"
                         "spanning,12.5,12.6,0,0\n"
                         "spanning,12.6,12.7,0,0\n"
                         "spanning,12.7,12.8,0,0\n"
                         "spanning,12.8,12.9,1,0.016666666666666666\n");
        for (int degrees = -4; degrees <= 20; ++degrees)
            bands += "temperatuur," + QByteArray::number(degrees) + ',' +
                     QByteArray::number(degrees + 1) +
                     (degrees == -4   ? ",1,0.016666666666666666\n"
                      : degrees == 20 ? ",2,0.03333333333333333\n"
                                      : ",0,0\n");
        QTest::newRow("bands, decimal point")
            << QStringList{"--export", "verdeling", "--unit", "uren"}
            << Environment{{"LC_ALL", "C"}} << bands;
        QTest::newRow("events")
            << QStringList{"--export", "calamiteiten", "--filter", "0", "--temp-filter", "0"}
            << Environment{}
            << QByteArray("nummer;soort;hoeveelste;begin (minuten);einde (minuten);duur (s);"
                          "gemiddelde;extreem\n"
                          "1;ondertemperatuur;1;1;2;60;-3,20;-3,20\n"
                          "2;overspanning;1;1;2;60;12,80;12,80\n");
    }
    void exportsOnStandardOutput() {
        QFETCH(QStringList, args);
        QFETCH(Environment, env);
        QFETCH(QByteArray, expected);
        ImageBuilder b = minuteRecording();
        b.voltage(12.3).voltage(12.8).temperature(-3.2).temperature(20).voltage(12.3).done();
        const QString path = dir.filePath("export.img");
        QVERIFY(!b.save(path));
        const ToolRun run = runTool(args << path, env);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, kBom + expected);
        QCOMPARE(run.err, QByteArray());
    }

    // The window's "Rapport opslaan als PDF" without a display: the report's pages as the
    // text form has them, then the chart of the whole recording on a page of its own.
    void pdfOfTheReportAndTheChart_data() {
        QTest::addColumn<QStringList>("spelling"); // %1 stands for the file
        QTest::newRow("--pdf FILE") << QStringList{"--pdf", "%1"};
        QTest::newRow("--pdf=FILE") << QStringList{"--pdf=%1"};
        QTest::newRow("-pdf FILE") << QStringList{"-pdf", "%1"};
    }
    void pdfOfTheReportAndTheChart() {
        QFETCH(QStringList, spelling);
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 300).voltage(12.9, 10).temperature(40, 3).voltage(12.2, 290).done();
        const QString image = dir.filePath("pdf.img");
        QVERIFY(!b.save(image));
        const QString path = dir.filePath("rapport.pdf");
        QFile::remove(path);
        QStringList args;
        for (const QString& a : spelling)
            args << a.arg(path);
        const Environment noDisplay{
            {"QT_QPA_PLATFORM", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
        const ToolRun run = runTool(args << image, noDisplay);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(run.out, QByteArray());

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const PdfText pdf = readPdf(file.readAll());
        QVERIFY(pdf.pages >= 2);
        QVERIFY(pdf.raw.contains(QByteArray::fromHex("feff0072006100700070006f00720074")));
        // Every line of the report, in order, then the chart.
        const QString printed = withoutBlanks(pdf.text);
        qsizetype from = 0;
        const QString report = QString::fromUtf8(runTool({image}).out);
        for (const QString& line : report.split('\n', Qt::SkipEmptyParts)) {
            from = printed.indexOf(withoutBlanks(line), from);
            QVERIFY2(from >= 0, qPrintable(line));
        }
        const QString chart = printed.mid(from);
        for (const char* text : {"Spanning(V)", "temperatuur(°C)", "minuten", "Overspanning"})
            QVERIFY2(chart.contains(QString::fromUtf8(text)), qPrintable(chart));
        // The time axis of the whole recording, ten hours in minutes, counts in hundreds.
        static const QRegularExpression hundreds("^[1-6]00$");
        QVERIFY2(pdf.shown.indexOf(hundreds) >= 0, qPrintable(pdf.shown.join('|')));
    }

    // A write that fails says why, and any old file stays as it was.
    void pdfThatCannotBeWritten_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("disk full") << "vol.pdf" << true;
        QTest::newRow("no such folder") << "weg/r.pdf" << false;
    }
    void pdfThatCannotBeWritten() {
        QFETCH(QString, name);
        QFETCH(bool, diskFull);
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 30).done();
        const QString image = dir.filePath("short.img");
        QVERIFY(!b.save(image));
        const QString path = dir.filePath(name);
        const QByteArray old("het oude rapport\n");
        if (diskFull)
            writeFile(path, old);
        ToolRun run;
        {
            // The tool inherits the limit.
            std::optional<FileSizeLimit> limit;
            if (diskFull)
                limit.emplace(1000);
            run = runTool({"--pdf", path, image});
        }
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("veltrano-report: Kan bestand \"" + path.toUtf8() +
                                  "\" niet opslaan: "),
                 run.err.constData());
        if (diskFull)
            QCOMPARE(readFile(path), old);
        else
            QVERIFY(!QFileInfo::exists(path));
    }

    // Without --pdf the tool makes no program object with windows: it runs where no display
    // could be opened.
    void otherModesNeedNoDisplay() {
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 3).done();
        const QString image = dir.filePath("nodisplay.img");
        QVERIFY(!b.save(image));
        const Environment noDisplay{{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ""}};
        for (const QStringList& args :
             {QStringList{image}, QStringList{"--export", "spanning", image},
              QStringList{"--summary", image}, QStringList{"--duration-table"}}) {
            const ToolRun run = runTool(args, noDisplay);
            QVERIFY2(run.exitCode == 0, run.err.constData());
        }
    }

    void summaryWithAnUnreadableImage() {
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 3).done();
        const QString good = dir.filePath("good.img");
        QVERIFY(!b.save(good));
        const QString missing = dir.filePath("missing.img");
        const QByteArray goodLine = good.toUtf8() + ";ok;3;1;0;0;0;0;0;12,30;12,30;12,30;20,00;"
                                                    "20,00;20,00;60;60;120;0;0,05;0;0;"
                                                    "0,016666666666666666;0";

        ToolRun run = runTool({"--summary", "--jobs", "2", good, missing, good});
        QCOMPARE(run.exitCode, 1);
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), qsizetype(5));
        QVERIFY(lines.at(0).startsWith(kBom + "bestand;status;spanningsmetingen;"));
        QVERIFY(lines.at(0).endsWith(";duur (s);uren boven overspanning;uren tussen "
                                     "spanningsgrenzen;uren onder onderspanning;uren boven "
                                     "temperatuurbovengrens;uren tussen temperatuurgrenzen;uren "
                                     "onder temperatuurondergrens"));
        QCOMPARE(lines.at(1), goodLine);
        // The reason comes from the system, in Dutch where Qt's translation has it.
        QVERIFY2(lines.at(2).startsWith(missing.toUtf8() + ";\"Kan bestand \"\"" +
                                        missing.toUtf8() + "\"\" niet openen: "),
                 lines.at(2).constData());
        QVERIFY(lines.at(2).endsWith("\"" + QByteArray(22, ';')));
        QCOMPARE(lines.at(3), goodLine);
        QCOMPARE(lines.at(4), QByteArray());

        run = runTool({"--summary", good, good});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.split('\n').size(), qsizetype(4));
    }

    // Qt's own messages and usage words in Dutch, with Qt's translation where the system has
    // it and without it (a copy of the tool whose qt.conf points at an empty folder).
    void qtsOwnTextsInDutch_data() {
        QTest::addColumn<bool>("withoutQtTranslation");
        QTest::newRow("as installed") << false;
        QTest::newRow("without Qt's translation") << true;
    }
    void qtsOwnTextsInDutch() {
        QFETCH(bool, withoutQtTranslation);
        QString program = VELTRANO_REPORT_TOOL;
        if (withoutQtTranslation) {
            const QString copy = dir.filePath("bare/veltrano-report");
            QVERIFY(QDir().mkpath(dir.filePath("bare")));
            QFile::remove(copy);
            QVERIFY(QFile::copy(program, copy));
            writeFile(dir.filePath("bare/qt.conf"),
                      "[Paths]\nTranslations=" + QFile::encodeName(dir.filePath("none")) + "\n");
            program = copy;
        }
        ToolRun run = runTool({"--kleur", "rood", "x"}, {}, program);
        QCOMPARE(run.exitCode, 2);
        // Qt's translation writes "Onbekende optie: 'kleur'.", ours the same without the colon.
        static const QRegularExpression unknown("^veltrano-report: Onbekende optie:? 'kleur'\\.\n");
        QVERIFY2(unknown.match(QString::fromUtf8(run.err)).hasMatch(), run.err.constData());
        run = runTool({"--over"}, {}, program);
        QVERIFY2(run.err.startsWith("veltrano-report: Ontbrekende waarde na '--over'."),
                 run.err.constData());
        run = runTool({"--help"}, {}, program);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.startsWith("Gebruik: veltrano-report [opties] BEELDBESTAND...\n"),
                 run.out.constData());
        QVERIFY(run.out.contains("\nOpties:\n"));
        QVERIFY(run.out.contains("\nArgumenten:\n"));
        QVERIFY(run.out.contains("--summary"));
    }
};

QTEST_GUILESS_MAIN(TestReportTool)
#include "tst_report_tool.moc"
