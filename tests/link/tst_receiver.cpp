#include <algorithm>
#include <cstring>

#include <QTest>

#include "link/portnumber.h"
#include "link/receiver.h"

using namespace veltrano;

namespace {
// Logs each call with the number of bytes stored at that moment.
class LogSink final : public ReceiverSink {
public:
    const Receiver* receiver = nullptr;
    QStringList log;
    int steps = 0;

    void progressStep() override { log << at("step"); }
    void beep() override { log << at("beep"); }
    void downloadComplete() override { log << at("done"); }
    void configurationStarted() override { log << at("notice"); }
    void eraseFinished(bool intervals) override { log << at(intervals ? "intervals" : "erased"); }
    void downloadOverflow() override { log << at("overflow"); }

private:
    QString at(const char* what) const {
        return QString::fromLatin1(what) + u'@' + QString::number(receiver->storedBytes());
    }
};

struct Fixture {
    MemoryImage image;
    LogSink sink;
    Receiver receiver{image, sink};
    Fixture() { sink.receiver = &receiver; }
    void feed(const QByteArray& event) {
        receiver.receive(reinterpret_cast<const std::uint8_t*>(event.constData()),
                         std::size_t(event.size()));
    }
    QByteArray stored(qsizetype n) const {
        return QByteArray(reinterpret_cast<const char*>(image.constData()), n);
    }
};

QStringList withoutSteps(QStringList log) {
    log.removeIf([](const QString& s) { return s.startsWith(u"step@"); });
    return log;
}

// What the conversation waits for; Intervals only together with Erase.
enum Flags { None = 0, Configure = 1, Erase = 2, Intervals = 4, Download = 8 };
} // namespace

class TestReceiver : public QObject {
    Q_OBJECT

private slots:
    // Each row: the receive events, the flags before; what the window is told (besides
    // progress steps), the flags after and how many of the bytes a download stored, in
    // order. Without a download the image is one opened from a file and must not change.
    void markers_data() {
        QTest::addColumn<QList<QByteArray>>("events");
        QTest::addColumn<int>("flagsBefore");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("flagsAfter");
        QTest::addColumn<int>("stored");
        const QStringList none;

        QTest::newRow("DONE split across events")
            << QList<QByteArray>{"xD", "ONE"} << +Download << none << +Download << 5;
        QTest::newRow("event of exactly DONE")
            << QList<QByteArray>{"DONE"} << +Download << QStringList{"done@4"} << +None << 4;
        QTest::newRow("0x78 then DONE") << QList<QByteArray>{"\x78"
                                                             "DONE"}
                                        << +Download << QStringList{"done@5"} << +None << 5;
        QTest::newRow("DONE after earlier event")
            << QList<QByteArray>{"abc", "DONE"} << +Download << QStringList{"done@7"} << +None << 7;
        QTest::newRow("bytes after DONE are not stored")
            << QList<QByteArray>{"abcDONExyz", "more"} << +Download << QStringList{"done@7"}
            << +None << 7;
        QTest::newRow("DONE after DONE told again, not stored")
            << QList<QByteArray>{"DONE", "xDONE"} << +Download << QStringList{"done@4", "done@4"}
            << +None << 4;
        QTest::newRow("DONE outside a download")
            << QList<QByteArray>{"DONE"} << +None << QStringList{"done@0"} << +None << 0;
        QTest::newRow("Gelu while configuring")
            << QList<QByteArray>{"..Gelukt"} << +Configure << QStringList{"notice@0"} << +None << 0;
        QTest::newRow("Gelu ignored without flag")
            << QList<QByteArray>{"Gelukt"} << +Erase << none << +Erase << 0;
        QTest::newRow("Gelu acted on once") << QList<QByteArray>{"Gelu Gelu"} << +Configure
                                            << QStringList{"notice@0"} << +None << 0;
        QTest::newRow("wel while erasing")
            << QList<QByteArray>{"wel gewist"} << +Erase << QStringList{"erased@0"} << +None << 0;
        QTest::newRow("wel ends interval setting")
            << QList<QByteArray>{"wel "} << (Erase | Intervals) << QStringList{"intervals@0"}
            << +None << 0;
        QTest::newRow("wel ignored without an erase waiting")
            << QList<QByteArray>{"wel "} << +Configure << none << +Configure << 0;
        QTest::newRow("wel needs its blank")
            << QList<QByteArray>{"welk"} << +Erase << none << +Erase << 0;
        // The logger's answers to an interval setting during a download are part of it.
        QTest::newRow("three conversations in one event")
            << QList<QByteArray>{"Gelu wel DONE"} << (Configure | Erase | Download)
            << QStringList{"notice@4", "erased@9", "done@13"} << +None << 13;
        QTest::newRow("BEL beeps and is stored")
            << QList<QByteArray>{QByteArray("a\x07"
                                            "b",
                                            3)}
            << +Download << QStringList{"beep@2"} << +Download << 3;
        QTest::newRow("BEL beeps outside a download")
            << QList<QByteArray>{QByteArray("a\x07", 2)} << +None << QStringList{"beep@0"} << +None
            << 0;
        QTest::newRow("BEL inside a marker")
            << QList<QByteArray>{QByteArray("DON\x07"
                                            "E",
                                            5)}
            << +Download << QStringList{"beep@4"} << +Download << 5;
        QTest::newRow("BEL as last byte of a window")
            << QList<QByteArray>{QByteArray("DON\x07", 4)} << +Download << QStringList{"beep@4"}
            << +Download << 4;
        // Long events are scanned in blocks; markers may straddle them.
        QTest::newRow("DONE across a block edge")
            << QList<QByteArray>{QByteArray(14, 'x') + "DONE" + QByteArray(20, 'y')} << +Download
            << QStringList{"done@18"} << +None << 18;
        QTest::newRow("markers late in a long event")
            << QList<QByteArray>{QByteArray(40, 'E') + "Gelu" + QByteArray(33, 'u') + "wel " +
                                 QByteArray(31, ' ') + QByteArray(1, '\x07')}
            << (Configure | Erase | Download) << QStringList{"notice@44", "erased@81", "beep@113"}
            << +Download << 113;
        QTest::newRow("markers late in a long event, no download")
            << QList<QByteArray>{QByteArray(40, 'E') + "Gelu" + QByteArray(33, 'u') + "wel " +
                                 QByteArray(31, ' ') + QByteArray(1, '\x07')}
            << (Configure | Erase) << QStringList{"notice@0", "erased@0", "beep@0"} << +None << 0;
        QTest::newRow("non-printable bytes only stored")
            << QList<QByteArray>{QByteArray("\x00\xFF\x1F\x7F", 4)} << +Download << none
            << +Download << 4;
    }
    void markers() {
        QFETCH(QList<QByteArray>, events);
        QFETCH(int, flagsBefore);
        QFETCH(QStringList, calls);
        QFETCH(int, flagsAfter);
        QFETCH(int, stored);

        Fixture f;
        // Without a download the image holds what "Data openen" read.
        const QByteArray opened = QByteArray(64, '\x5A');
        if (flagsBefore & Download)
            f.receiver.startDownload();
        else
            std::memcpy(f.image.data(), opened.constData(), std::size_t(opened.size()));
        if (flagsBefore & Configure)
            f.receiver.awaitConfigurationStart();
        if (flagsBefore & Erase)
            f.receiver.awaitEraseAnswer(flagsBefore & Intervals);

        QByteArray all;
        for (const QByteArray& e : events) {
            f.feed(e);
            all += e;
        }
        QCOMPARE(withoutSteps(f.sink.log), calls);
        QCOMPARE(f.receiver.storedBytes(), std::int32_t(stored));
        if (flagsBefore & Download)
            QCOMPARE(f.stored(all.size() + 4),
                     all.left(stored) + QByteArray(all.size() + 4 - stored, '\0'));
        else
            QCOMPARE(f.stored(opened.size() + 4), opened + QByteArray(4, '\0'));
        QCOMPARE(f.receiver.downloading(), bool(flagsAfter & Download));
        QCOMPARE(f.receiver.awaitingConfigurationStart(), bool(flagsAfter & Configure));
        QCOMPARE(f.receiver.awaitingEraseAnswer(), bool(flagsAfter & Erase));
        QCOMPARE(f.receiver.awaitingIntervalAnswer(), bool(flagsAfter & Intervals));
    }

    // A download broken off keeps what it stored; what arrives later is only scanned for
    // markers, until the next download starts afresh.
    void abortedDownload() {
        Fixture f;
        f.receiver.startDownload();
        f.feed("abc");
        f.receiver.abortDownload();
        QVERIFY(!f.receiver.downloading());
        QCOMPARE(f.sink.log, QStringList{"step@1"}); // the abort itself tells nothing
        f.feed("Flash geheugen wel gewist DONE");
        QCOMPARE(f.receiver.storedBytes(), std::int32_t(3));
        QCOMPARE(f.stored(8), QByteArray("abc\0\0\0\0\0", 8));
        QCOMPARE(withoutSteps(f.sink.log), QStringList{"done@3"});

        f.receiver.startDownload();
        f.feed("xy");
        QCOMPARE(f.stored(4), QByteArray("xy\0\0", 4));
        QCOMPARE(f.receiver.storedBytes(), std::int32_t(2));
    }

    // The bar steps at the 1st and the 160,001st byte, however the bytes arrive.
    void progressSteps_data() {
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("one event") << QList<int>{160'001};
        QTest::newRow("first byte alone") << QList<int>{1, 160'000};
        QTest::newRow("step byte alone") << QList<int>{160'000, 1};
        QTest::newRow("uneven") << QList<int>{3, 159'996, 2};
    }
    void progressSteps() {
        QFETCH(QList<int>, sizes);
        Fixture f;
        f.receiver.startDownload();
        for (int n : sizes)
            f.feed(QByteArray(n, 'x'));
        QCOMPARE(f.sink.log, (QStringList{"step@1", "step@160001"}));
    }

    void noStepsOutsideADownload() {
        Fixture f;
        f.feed(QByteArray(160'001, 'x'));
        QVERIFY(f.sink.log.isEmpty());
        QCOMPARE(f.receiver.storedBytes(), std::int32_t(0));
    }

    void stepsOneByteAtATime() {
        Fixture f;
        f.receiver.startDownload();
        const std::uint8_t b = 'x';
        for (int i = 0; i < 160'001; ++i)
            f.receiver.receive(&b, 1);
        QCOMPARE(f.sink.log, (QStringList{"step@1", "step@160001"}));
    }

    // 17,000,010 bytes: the last ten are dropped, the overflow is told once, and a "DONE"
    // among the dropped bytes still ends the download.
    void overflow_data() {
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("one event") << QList<int>{17'000'010};
        QTest::newRow("full image then ten") << QList<int>{17'000'000, 10};
        QTest::newRow("crossing the end") << QList<int>{16'999'995, 15};
        QTest::newRow("dropped in pieces") << QList<int>{17'000'000, 5, 5};
    }
    void overflow() {
        QFETCH(QList<int>, sizes);
        QByteArray all(17'000'010, '\x11');
        all[16'999'999] = '\x22';
        all.replace(17'000'006, 4, "DONE");

        Fixture f;
        f.receiver.startDownload();
        qsizetype at = 0;
        for (int n : sizes) {
            f.feed(all.mid(at, n));
            at += n;
        }
        QCOMPARE(withoutSteps(f.sink.log), (QStringList{"overflow@17000000", "done@17000000"}));
        QCOMPARE(f.receiver.storedBytes(), std::int32_t(17'000'000));
        QCOMPARE(f.receiver.droppedBytes(), std::int64_t(10));
        QCOMPARE(f.image[16'999'999], std::uint8_t(0x22));
        QVERIFY(!f.receiver.downloading());

        // A new download starts afresh and may overflow again, told again.
        f.sink.log.clear();
        f.receiver.startDownload();
        QCOMPARE(f.image[0], std::uint8_t(0));
        f.feed(all);
        QCOMPARE(withoutSteps(f.sink.log), (QStringList{"overflow@17000000", "done@17000000"}));
    }

    // A new download starts from an empty image, whatever filled it: an earlier download,
    // a file, or a write far beyond the last download's end.
    void startDownloadResets_data() {
        QTest::addColumn<int>("filledBy");
        QTest::newRow("a download") << 0;
        QTest::newRow("a file") << 1;
        QTest::newRow("a write past the download") << 2;
    }
    void startDownloadResets() {
        QFETCH(int, filledBy);
        Fixture f;
        f.receiver.startDownload();
        f.feed("abcDONE");
        if (filledBy == 1)
            std::memset(f.image.data(), 0x5A, kImageSize);
        else if (filledBy == 2)
            f.image.data()[kImageSize - 1] = 0x5A;
        f.receiver.startDownload();
        QCOMPARE(f.receiver.storedBytes(), std::int32_t(0));
        QVERIFY(f.receiver.downloading());
        const std::uint8_t* bytes = f.image.constData();
        QVERIFY(std::all_of(bytes, bytes + kImageSize, [](std::uint8_t b) { return b == 0; }));
    }

    void extractNumber_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<int>("port"); // -1: not convertible
        QTest::newRow("usb serial") << "USB Serial Device (COM11)"
                                    << "11" << 11;
        QTest::newRow("all digits count") << "Port 2 (COM5)"
                                          << "25" << 25;
        QTest::newRow("plain") << "Serial (COM4)"
                               << "4" << 4;
        QTest::newRow("leading zero") << "QLO01 (ttyACM0)"
                                      << "010" << 10;
        QTest::newRow("minus sign dropped") << "COM-3"
                                            << "3" << 3;
        QTest::newRow("no digit") << "Bluetooth-poort"
                                  << "" << -1;
        QTest::newRow("empty") << ""
                               << "" << -1;
        QTest::newRow("other scripts are not digits") << QString::fromUtf8("COM\u0663") << "" << -1;
        QTest::newRow("too long for a number") << "COM99999999999"
                                               << "99999999999" << -1;
    }
    void extractNumber() {
        QFETCH(QString, name);
        QFETCH(QString, digits);
        QFETCH(int, port);
        QCOMPARE(ExtractNumberInString(name), digits);
        const std::optional<int> n = portNumberFromDisplayName(name);
        QCOMPARE(n.value_or(-1), port);
    }
};

QTEST_GUILESS_MAIN(TestReceiver)
#include "tst_receiver.moc"
