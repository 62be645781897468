#include <functional>
#include <random>

#include <QTest>

#include "processingfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
using Fill = std::function<std::vector<std::uint8_t>()>;

std::vector<std::uint8_t> filled(std::uint8_t byte) {
    return std::vector<std::uint8_t>(kImageSize, byte);
}

std::vector<std::uint8_t> randomWords() {
    std::vector<std::uint8_t> image(kImageSize);
    std::mt19937 rng(20261210);
    for (auto& b : image)
        b = std::uint8_t(rng());
    return image;
}

std::vector<std::uint8_t> events(int count) {
    ImageBuilder b = minuteRecording();
    for (int i = 0; i < count; ++i)
        b.voltage(12.8).voltage(12.3);
    b.done();
    return b.image();
}

std::vector<std::uint8_t> beginPoints(int count) {
    ImageBuilder b = minuteRecording();
    for (int i = 0; i < count; ++i)
        b.beginPoint().voltage(12.3);
    b.done();
    return b.image();
}

std::vector<std::uint8_t> onlyTemperatures() {
    ImageBuilder b;
    b.recording(2, 1).temperature(21, 50).done();
    return b.image();
}

std::vector<std::uint8_t> onlyRejectedVoltages() {
    ImageBuilder b;
    b.calibration(300).recording(2, 1).temperature(20);
    for (int i = 0; i < 40; ++i)
        b.voltageRaw(29).voltageRaw(1010); // 2.9 V and 101 V
    b.done();
    return b.image();
}
} // namespace

Q_DECLARE_METATYPE(Fill)

// Images no logger should produce: processing must end, keep its lists in bounds and say
// what it found.
class TestBadImages : public QObject {
    Q_OBJECT
private slots:
    void catalogue_data() {
        QTest::addColumn<Fill>("image");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<int>("events");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("voltages");
        const QStringList none;
        const QStringList twice{"Geen metingen", "Geen metingen"};
        QTest::newRow("all 0xFF (erased)")
            << Fill([] { return filled(0xFF); }) << false << 0 << none << 0;
        QTest::newRow("all 0x00") << Fill([] { return filled(0x00); }) << false << 0 << none << 0;
        QTest::newRow("random words") << Fill(randomWords) << true << -1 << QStringList{"?"} << -1;
        QTest::newRow("9,999 events")
            << Fill([] { return events(9'999); }) << true << 9'999 << none << 19'998;
        QTest::newRow("10,000 events")
            << Fill([] { return events(10'000); }) << true << 10'000 << none << 20'000;
        QTest::newRow("50,000 events")
            << Fill([] { return events(50'000); }) << true << 50'000 << none << 100'000;
        QTest::newRow("5,000 begin points")
            << Fill([] { return beginPoints(5'000); }) << true << 0 << none << 5'000;
        QTest::newRow("only temperatures") << Fill(onlyTemperatures) << true << 0 << twice << 0;
        QTest::newRow("only rejected voltages")
            << Fill(onlyRejectedVoltages) << true << 0 << twice << 0;
    }
    void catalogue() {
        QFETCH(Fill, image);
        QFETCH(bool, completed);
        QFETCH(int, events);
        QFETCH(QStringList, messages);
        QFETCH(int, voltages);
        const std::vector<std::uint8_t> bytes = image();
        ProcessingSettings s = dutchSettings();
        s.filterText(FilterField::VoltageTimeFilter) = "0";
        DecoderState state;
        ProcessingResult r;
        QVERIFY(!processImage(bytes.data(), s, state, r));
        QCOMPARE(r.completed, completed);
        if (events >= 0) {
            QCOMPARE(r.eventCount, events);
            const int listed = std::min(events, EventList::kCapacity - 1);
            if (listed > 0)
                QVERIFY(!r.eventList.isEmpty(listed));
            if (listed + 1 < EventList::kCapacity)
                QVERIFY(r.eventList.isEmpty(listed + 1));
        }
        if (messages != QStringList{"?"})
            QCOMPARE(r.messages, messages);
        if (voltages >= 0)
            QCOMPARE(r.samples.voltageSampleCount, voltages);
        QVERIFY(r.samples.beginPointCount <= kBeginPointCapacity);
        for (const ReportLine& line : r.report.lines())
            QVERIFY2(!line.text.contains("nan") && !line.text.contains("inf"),
                     qPrintable(line.text));
    }
};

QTEST_GUILESS_MAIN(TestBadImages)
#include "tst_bad_images.moc"
