// The decoder crosses the words before the first recording-start word in blocks; what it
// finds there must be exactly what a word-by-word walk finds.
#include <vector>

#include <QTest>

#include "recording/decoder.h"

using namespace veltrano;

namespace {
void putWord(std::vector<std::uint8_t>& image, std::size_t k, int tagValue, int value) {
    const unsigned w = (unsigned(tagValue) << 10) | unsigned(value);
    image[2 * k] = std::uint8_t(w >> 8);
    image[2 * k + 1] = std::uint8_t(w & 0xFF);
}

// Near misses of the two words that count: tags 2 and 49 (high bytes 0x0B and 0xC4), and
// the two tags' high bytes in the low byte of a word.
std::vector<std::uint8_t> filler(int kind) {
    std::vector<std::uint8_t> image(kImageSize, kind == 0 ? 0x00 : 0xFF);
    if (kind == 2) {
        static const std::uint8_t kNearMisses[] = {0x0B, 0x0C, 0xC4, 0xC0, 0x10, 0x0C, 0xBF, 0xC0};
        for (std::size_t i = 0; i < kImageSize; ++i)
            image[i] = kNearMisses[i % 8];
    }
    return image;
}

struct Sink {
    std::vector<std::size_t> progressReports;
    int voltages = 0;
    void progress(std::size_t i) { progressReports.push_back(i); }
    void voltageIntervalText(const QString&) {}
    void temperatureIntervalText(const QString&) {}
    void voltageEvent(float, double, double) {}
    void voltageStored(float) { ++voltages; }
    void temperature(float, double, double) {}
    void endOfRecording(double, double) {}
    void samplesTaken(const StoredSamples&) {}
};
} // namespace

class TestSparseScan : public QObject {
    Q_OBJECT
private slots:
    // One word that counts, in front of or behind block and pump edges, among fillers.
    void findsTheWordThatCounts_data() {
        QTest::addColumn<int>("fill");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("found");
        const int n = int(kImageWords);
        QTest::newRow("zeros, start at 0") << 0 << 0 << 3 << 0 << n << 0;
        QTest::newRow("zeros, start at 31") << 0 << 31 << 3 << 0 << n << 31;
        QTest::newRow("zeros, start at 32") << 0 << 32 << 3 << 0 << n << 32;
        QTest::newRow("zeros, calibration at 33") << 0 << 33 << 48 << 0 << n << 33;
        QTest::newRow("erased, calibration last") << 1 << n - 1 << 48 << 0 << n << n - 1;
        QTest::newRow("erased, start before a pump") << 1 << 84'999 << 3 << 0 << 85'000 << 84'999;
        QTest::newRow("erased, start after the window")
            << 1 << 85'000 << 3 << 0 << 85'000 << 85'000;
        QTest::newRow("erased, start before the window") << 1 << 99 << 3 << 100 << n << n;
        QTest::newRow("near misses only") << 2 << -1 << 0 << 0 << n << n;
        QTest::newRow("near misses, start far in") << 2 << 7'654'321 << 3 << 5 << n << 7'654'321;
        QTest::newRow("empty window") << 0 << 0 << 3 << 40 << 40 << 40;
    }
    void findsTheWordThatCounts() {
        QFETCH(int, fill);
        QFETCH(int, at);
        QFETCH(int, tag);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, found);
        std::vector<std::uint8_t> image = filler(fill);
        if (at >= 0)
            putWord(image, std::size_t(at), tag, 5);
        QCOMPARE(nextStartOrCalibration(image.data(), std::size_t(from), std::size_t(to)),
                 std::size_t(found));
        const std::size_t start = findRecordingStart(image.data());
        QCOMPARE(start, at >= 0 && tag == 3 ? std::size_t(at) : kImageWords);
    }

    // A recording far into an erased image: the calibration words before it set the factor,
    // the progressReports come every 85,000 words, and the sample is the same as at the image's
    // start.
    void recordingFarIntoAnErasedImage_data() {
        QTest::addColumn<int>("start"); // -1: none
        QTest::addColumn<float>("calibration");
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("wordsRead");
        QTest::newRow("start at 6,000,017") << 6'000'017 << 0.03f << 1 << 6'000'021;
        QTest::newRow("start at the last pump") << 8'415'000 << 0.03f << 1 << 8'415'004;
        QTest::newRow("no start: calibration only") << -1 << 0.03f << 0 << int(kImageWords);
    }
    void recordingFarIntoAnErasedImage() {
        QFETCH(int, start);
        QFETCH(float, calibration);
        QFETCH(int, samples);
        QFETCH(int, wordsRead);
        std::vector<std::uint8_t> image = filler(1);
        putWord(image, 84'999, tag::Calibration, 800); // 0.0375, replaced below
        putWord(image, 1'000'001, tag::Calibration, 1000);
        putWord(image, 1'000'002, tag::VoltageSample, 400); // passed over: no start yet
        if (start >= 0) {
            const auto s = std::size_t(start);
            putWord(image, s, tag::RecordingStart, 2);
            putWord(image, s + 1, tag::VoltageInterval, 2);
            putWord(image, s + 2, tag::VoltageSample, 400);
            putWord(image, s + 3, tag::End, 0);
        } else {
            putWord(image, kImageWords - 1, tag::Calibration, 1000);
        }

        DecoderState state;
        Samples out;
        out.recreate();
        Sink sink;
        const DecodeOutcome r = decodeImage(image.data(), 1, state, out, sink);
        QCOMPARE(state.voltsPerCount, calibration);
        QCOMPARE(out.voltageSampleCount, samples);
        QCOMPARE(sink.voltages, samples);
        if (samples)
            QCOMPARE(out.voltageValues[1], 12.04f); // 400 x 0.03 x 1.003
        QCOMPARE(r.wordsRead, std::size_t(wordsRead));
        std::vector<std::size_t> progressReports;
        for (std::size_t i = 0; i < std::size_t(wordsRead); i += kProgressEveryWords)
            progressReports.push_back(i);
        QCOMPARE(sink.progressReports, progressReports);
    }
};

QTEST_GUILESS_MAIN(TestSparseScan)
#include "tst_sparsescan.moc"
