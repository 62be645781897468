#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "processingfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
struct ToolRun {
    int exitCode;
    QByteArray out;
    QByteArray err;
};
ToolRun runTool(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "nl_NL.UTF-8");
    env.insert("LANG", "nl_NL.UTF-8");
    p.setProcessEnvironment(env);
    p.start(VELTRANO_REPORT_TOOL, args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}
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

        const ToolRun run = runTool({"--format", "json", "--over", "12,6", "--unit", "minuten", path});
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
        QCOMPARE(report.at(17).toObject().value("text").toString(), QString("Aantal calamiteiten \t2"));
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
        QTest::newRow("unknown option") << QStringList{"--kleur", "rood", "x"} << "--kleur";
        QTest::newRow("no image") << QStringList{} << "geen beeldbestand";
    }
    void failuresPrintNothingOnStdout() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const ToolRun run = runTool(args);
        QVERIFY(run.exitCode != 0);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestReportTool)
#include "tst_report_tool.moc"
