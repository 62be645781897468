#include <array>
#include <thread>

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

#include "analysis/summary.h"
#include "processingfixture.h"
#include "summaryrun.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
const QByteArray kHeader =
    "\xEF\xBB\xBF"
    "bestand;status;spanningsmetingen;temperatuurmetingen;calamiteiten;overspanning;"
    "onderspanning;overtemperatuur;ondertemperatuur;gemiddelde spanning;max spanning;"
    "min spanning;gemiddelde temperatuur;max temperatuur;min temperatuur;"
    "spanningmeetinterval (s);temperatuurmeetinterval (s);duur (s);uren boven overspanning;"
    "uren tussen spanningsgrenzen;uren onder onderspanning;uren boven temperatuurbovengrens;"
    "uren tussen temperatuurgrenzen;uren onder temperatuurondergrens\n";
const QByteArray kNoFigures(22, ';');

struct Image {
    QString name;
    std::optional<ImageBuilder> content; // none: the file does not exist
    QByteArray figures;                  // the line after "name;"
};

// Images that tell whether calibration and intervals carry over from one to the next: the
// first sets a calibration of 0.1 V per count, the second has none (start value: 330 counts
// are 12.33 V, not 33 V), the third has no interval words (start value 0, not 60 s). One more
// has no voltage in its first recording, only in its second: its figures are those of the
// last summary, as the report shows them.
std::vector<Image> fleet(const QTemporaryDir& dir) {
    ImageBuilder events = minuteRecording();
    events.voltage(12.3, 60).voltage(12.8, 7).voltage(12.3).temperature(40, 6).temperature(20);
    events.done();
    ImageBuilder noCalibration;
    noCalibration.recording(7, 2).temperature(20).voltageRaw(330).voltageRaw(330);
    noCalibration.voltageRaw(330).done();
    ImageBuilder noIntervals;
    noIntervals.recordingStart(7).temperatureStart(2).temperature(20).voltageRaw(330).done();
    ImageBuilder onlyTemperatures;
    onlyTemperatures.recording(7, 2).temperature(20, 3).done();
    ImageBuilder lateVoltages;
    lateVoltages.calibration(300).recording(7, 2).temperature(20, 2).endOfRecording();
    lateVoltages.recording(7, 2).voltage(12.3, 3).done();
    const QString missing = dir.filePath("missing.img");
    return {
        {"events.img", events,
         "ok;68;8;2;1;0;1;0;12,35;12,80;12,30;35,00;40,00;20,00;60;60;4020;"
         "0,11666666666666667;1,0166666666666666;0;0,1;0,03333333333333333;0"},
        {"missing.img", std::nullopt,
         "\"Kan bestand \"\"" + missing.toUtf8() + "\"\" niet openen: No such file or directory\"" +
             kNoFigures},
        {"no-calibration.img", noCalibration,
         "ok;3;1;0;0;0;0;0;12,33;12,33;12,33;20,00;20,00;20,00;60;60;120;"
         "0;0,05;0;0;0,016666666666666666;0"},
        {"erased.img", ImageBuilder{}, "Geen afgesloten opname in het beeld" + kNoFigures},
        {"no-intervals.img", noIntervals,
         "ok;1;1;0;0;0;0;0;12,33;12,33;12,33;20,00;20,00;20,00;0;0;-60;0;0;0;0;0;0"},
        {"only-temperatures.img", onlyTemperatures, "Geen metingen" + kNoFigures},
        {"late-voltages.img", lateVoltages,
         "ok;3;2;0;0;0;0;0;12,30;12,30;12,30;20,00;20,00;20,00;60;60;60;"
         "0;0,05;0;0;0,03333333333333333;0"},
    };
}
} // namespace

class TestSummary : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::vector<Image> images;

private slots:
    void initTestCase() {
        images = fleet(dir);
        for (const Image& image : images)
            if (image.content)
                QVERIFY(!image.content->save(dir.filePath(image.name)));
    }

    // Every image from the program's start state, the lines in the given order whatever
    // finishes first, failures with their message and empty figures.
    void linesOfAFleet_data() {
        QTest::addColumn<int>("jobs");
        QTest::newRow("one at a time") << 1;
        QTest::newRow("two at a time") << 2;
        QTest::newRow("more jobs than images") << 8;
    }
    void linesOfAFleet() {
        QFETCH(int, jobs);
        QStringList paths;
        QByteArray expected = kHeader;
        int failures = 0;
        for (const Image& image : images) {
            const QString path = dir.filePath(image.name);
            paths << path;
            expected += path.toUtf8() + ';' + image.figures + '\n';
            failures += image.figures.startsWith("ok;") ? 0 : 1;
        }
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        const auto outcome = report::runSummary(paths, dutchSettings(), jobs, out);
        QCOMPARE(bytes, expected);
        QCOMPARE(outcome.failedImages, failures);
        QVERIFY(!outcome.writeError);
    }

    // A long image first and many short ones after it, with more lines than threads: the
    // short ones finish first, yet every line keeps its place.
    void manyImagesInParallel() {
        ImageBuilder longOne = minuteRecording();
        longOne.voltage(12.3, 3'000'000).done();
        const QString longPath = dir.filePath("long.img");
        QVERIFY(!longOne.save(longPath));
        ImageBuilder b = minuteRecording();
        b.voltage(12.8, 600).voltage(12.3, 600).temperature(-5, 40).done();
        const QString path = dir.filePath("same.img");
        QVERIFY(!b.save(path));
        const QStringList paths = QStringList{longPath} + QStringList(23, path);
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        const ProcessingSettings s = ProcessingSettings::defaults(QLocale::c());
        QCOMPARE(report::runSummary(paths, s, 3, out).failedImages, 0);
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), qsizetype(1 + 24 + 1));
        QVERIFY2(lines.at(1).startsWith(longPath.toUtf8() + ",ok,3000000,1,0,"),
                 lines.at(1).constData());
        QVERIFY2(lines.at(2).startsWith(path.toUtf8() + ",ok,1200,41,2,1,0,0,1,12.55,12.80,12.30,"),
                 lines.at(2).constData());
        for (qsizetype i = 3; i <= 24; ++i)
            QCOMPARE(lines.at(i), lines.at(2));
    }

    // Reading and processing share nothing between threads: several threads, each with its
    // own workspace, give every image's line as one thread alone does. Plain standard threads,
    // so that ThreadSanitizer follows every hand-over.
    void imagesOnSeveralThreadsAtOnce() {
        QStringList paths;
        for (const Image& image : images)
            paths << dir.filePath(image.name);
        paths << dir.filePath("events.img") << dir.filePath("no-calibration.img");
        const ProcessingSettings settings = dutchSettings();
        QList<QByteArray> alone;
        {
            SummaryWorkspace workspace;
            for (const QString& path : paths)
                alone << summarizeImage(path, settings, workspace).csv;
        }
        constexpr int kThreads = 3;
        std::vector<QList<QByteArray>> lines(kThreads);
        std::vector<std::thread> threads;
        for (int k = 0; k < kThreads; ++k)
            threads.emplace_back([&, k] {
                const ProcessingSettings own = settings;
                SummaryWorkspace workspace;
                // Each thread starts at another image, so different images run at once.
                for (qsizetype i = 0; i < paths.size(); ++i)
                    lines[std::size_t(k)]
                        << summarizeImage(paths[(i + k) % paths.size()], own, workspace).csv;
            });
        for (std::thread& t : threads)
            t.join();
        for (int k = 0; k < kThreads; ++k)
            for (qsizetype i = 0; i < paths.size(); ++i)
                QCOMPARE(lines[std::size_t(k)][i], alone[(i + k) % paths.size()]);
    }

    // The summary's run keeps no samples and writes no event blocks; its figures are those of
    // the window's full run: every event kind, two summaries, an over-range temperature.
    void figuresMatchTheFullRun() {
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 30).voltage(13.5, 12).voltage(10.5, 9).voltage(12.3, 5);
        b.temperature(55, 8).temperature(-25, 7).temperature(130).temperature(20);
        b.endOfRecording().voltage(12.9, 20).voltage(12.3).beginPoint().done();
        const std::vector<std::uint8_t> image = b.image();
        const ProcessingSettings settings = dutchSettings();
        DecoderState fullState, lightState;
        ProcessingResult full, light;
        QVERIFY(!processImage(image.data(), settings, fullState, full));
        QVERIFY(!processImageWithoutSamples(image.data(), settings, lightState, light));
        QVERIFY(full.samples.voltageSampleCount > 0);
        QCOMPARE(light.samples.voltageSampleCount, 0);
        QCOMPARE(light.samples.temperatureSampleCount, 0);
        QVERIFY(light.summaries >= 2);
        QCOMPARE(light.summaries, full.summaries);
        QCOMPARE(light.completed, full.completed);
        QCOMPARE(light.messages, full.messages);
        QCOMPARE(light.recordingSeconds, full.recordingSeconds);
        QCOMPARE(light.eventCount, full.eventCount);
        const Statistics &f = full.stats, &l = light.stats;
        for (const auto quantity : {&Statistics::voltage, &Statistics::temperature}) {
            QCOMPARE((l.*quantity).count, (f.*quantity).count);
            for (const auto field :
                 {&SampleStatistics::mean, &SampleStatistics::max, &SampleStatistics::min})
                QCOMPARE((l.*quantity).*field, (f.*quantity).*field);
        }
        QCOMPARE(light.events.size(), full.events.size());
        std::array<int, 4> kinds{};
        for (std::size_t i = 0; i < full.events.size(); ++i) {
            const ClosedEvent &a = light.events[i], &e = full.events[i];
            QCOMPARE(a.kind, e.kind);
            QCOMPARE(a.number, e.number);
            QCOMPARE(a.ordinal, e.ordinal);
            QCOMPARE(a.moment, e.moment);
            QCOMPARE(a.duration, e.duration);
            QCOMPARE(a.average, e.average);
            QCOMPARE(a.extreme, e.extreme);
            ++kinds[std::size_t(e.kind)];
        }
        QCOMPARE(kinds, (std::array<int, 4>{2, 1, 1, 1}));
        QCOMPARE(fullState.voltageInterval, lightState.voltageInterval);
    }

    void refusedOutputIsReported() {
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 3).done();
        const QString path = dir.filePath("small.img");
        QVERIFY(!b.save(path));
        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        const auto outcome = report::runSummary({path}, dutchSettings(), 2, readOnly);
        QVERIFY(outcome.writeError.has_value());
    }
};

QTEST_GUILESS_MAIN(TestSummary)
#include "tst_summary.moc"
