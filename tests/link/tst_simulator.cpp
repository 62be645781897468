#include <QTest>

#include "simulatedlogger.h"

using namespace veltrano;
using namespace veltrano::sim;

class TestSimulator : public QObject {
    Q_OBJECT

private slots:
    // What part of an image file the simulated logger holds as its memory.
    void memoryFromImage_data() {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QByteArray>("memory");
        QTest::newRow("up to DONE at an even offset")
            << QByteArray("abcdDONExyz\0\0", 13) << QByteArray("abcd");
        QTest::newRow("DONE at an odd offset is data")
            << QByteArray("abcDONEx\0\0", 10) << QByteArray("abcDONEx");
        QTest::newRow("up to the last non-zero byte")
            << QByteArray("ab\0c\0\0\0\0", 8) << QByteArray("ab\0c", 4);
        QTest::newRow("all zero") << QByteArray(64, '\0') << QByteArray();
        QTest::newRow("DONE first") << QByteArray("DONEabc") << QByteArray();
    }
    void memoryFromImage() {
        QFETCH(QByteArray, image);
        QFETCH(QByteArray, memory);
        const Bytes got = sim::memoryFromImage(
            reinterpret_cast<const std::uint8_t*>(image.constData()), std::size_t(image.size()));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(got.data()), qsizetype(got.size())),
                 memory);
    }

    void memoryIsCappedAtTheFlashSize() {
        const Bytes image(17'000'000, 0x11);
        QCOMPARE(sim::memoryFromImage(image.data(), image.size()).size(), kLoggerMemorySize);
    }

    // Commands: a code byte belongs to the command before it; erase waits for the caller.
    void commands_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("replies"); // D = download, E = erase, else the text
        QTest::newRow("download") << QByteArray("#") << "D";
        QTest::newRow("voltage code") << QByteArray("!3") << kVoltageSetReply;
        QTest::newRow("temperature code") << QByteArray("\"8") << kTemperatureSetReply;
        QTest::newRow("unknown code") << QByteArray("!9") << kUnknownCodeReply;
        QTest::newRow("# as a code byte is no download") << QByteArray("!#") << kUnknownCodeReply;
        QTest::newRow("erase") << QByteArray("(") << "E";
        QTest::newRow("noise ignored") << QByteArray("xyz\r\n") << "";
    }
    void commands() {
        QFETCH(QByteArray, input);
        QFETCH(QString, replies);
        SimulatedLogger logger(defaultRecording());
        QString got;
        for (char c : input) {
            const auto step = logger.feed(std::uint8_t(c));
            if (step.download)
                got += u'D';
            else if (step.action == SimulatedLogger::Action::EraseThenReply)
                got += u'E';
            else
                got += QString::fromStdString(step.text);
        }
        QCOMPARE(got, replies);
    }

    // An erase without new intervals leaves the memory's length, all 0xFF.
    void eraseFillsWithFF() {
        SimulatedLogger logger(Bytes{1, 2, 3});
        QVERIFY(QByteArray::fromStdString(logger.finishErase()).contains("wel "));
        QCOMPARE(logger.memory(), (Bytes{0xFF, 0xFF, 0xFF}));
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
