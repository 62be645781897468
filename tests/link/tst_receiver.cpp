#include <QTest>

#include "link/portnumber.h"
#include "link/receiver.h"

using namespace veltrano;

namespace {
// Logs each call with the value of teller at that moment.
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
        return QString::fromLatin1(what) + u'@' + QString::number(receiver->teller);
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
        return QByteArray(reinterpret_cast<const char*>(image.data()), n);
    }
};

QStringList withoutSteps(QStringList log) {
    log.removeIf([](const QString& s) { return s.startsWith(u"step@"); });
    return log;
}

enum Flags { None = 0, Configure = 1, Erase = 2, Intervals = 4, Download = 8 };
} // namespace

class TestReceiver : public QObject {
    Q_OBJECT

private slots:
    // Each row: the receive events, the flags before; what the window is told (besides
    // progress steps) and the flags after. Every byte must be stored, in order.
    void markers_data() {
        QTest::addColumn<QList<QByteArray>>("events");
        QTest::addColumn<int>("flagsBefore");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("flagsAfter");
        const QStringList none;

        QTest::newRow("DONE split across events")
            << QList<QByteArray>{"xD", "ONE"} << +Download << none << +Download;
        QTest::newRow("event of exactly DONE")
            << QList<QByteArray>{"DONE"} << +Download << QStringList{"done@4"} << +None;
        QTest::newRow("0x78 then DONE") << QList<QByteArray>{"\x78"
                                                             "DONE"}
                                        << +Download << QStringList{"done@5"} << +None;
        QTest::newRow("DONE after earlier event")
            << QList<QByteArray>{"abc", "DONE"} << +Download << QStringList{"done@7"} << +None;
        QTest::newRow("DONE outside a download")
            << QList<QByteArray>{"DONE"} << +None << QStringList{"done@4"} << +None;
        QTest::newRow("Gelu while configuring")
            << QList<QByteArray>{"..Gelukt"} << +Configure << QStringList{"notice@6"} << +None;
        QTest::newRow("Gelu ignored without flag")
            << QList<QByteArray>{"Gelukt"} << +Erase << none << +Erase;
        QTest::newRow("Gelu acted on once")
            << QList<QByteArray>{"Gelu Gelu"} << +Configure << QStringList{"notice@4"} << +None;
        QTest::newRow("wel while erasing")
            << QList<QByteArray>{"wel gewist"} << +Erase << QStringList{"erased@4"} << +None;
        QTest::newRow("wel ends interval setting")
            << QList<QByteArray>{"wel "} << (Erase | Intervals) << QStringList{"intervals@4"}
            << +None;
        QTest::newRow("wel ignored without flag")
            << QList<QByteArray>{"wel "} << +Intervals << none << +Intervals;
        QTest::newRow("wel needs its blank")
            << QList<QByteArray>{"welk"} << +Erase << none << +Erase;
        QTest::newRow("three conversations in one event")
            << QList<QByteArray>{"Gelu wel DONE"} << (Configure | Erase | Download)
            << QStringList{"notice@4", "erased@9", "done@13"} << +None;
        QTest::newRow("BEL beeps and is stored") << QList<QByteArray>{QByteArray("a\x07"
                                                                                 "b",
                                                                                 3)}
                                                 << +None << QStringList{"beep@2"} << +None;
        QTest::newRow("BEL inside a marker") << QList<QByteArray>{QByteArray("DON\x07"
                                                                             "E",
                                                                             5)}
                                             << +Download << QStringList{"beep@4"} << +Download;
        QTest::newRow("BEL as last byte of a window")
            << QList<QByteArray>{QByteArray("DON\x07", 4)} << +Download << QStringList{"beep@4"}
            << +Download;
        // Long events are scanned in blocks; markers may straddle them.
        QTest::newRow("DONE across a block edge")
            << QList<QByteArray>{QByteArray(14, 'x') + "DONE" + QByteArray(20, 'y')} << +Download
            << QStringList{"done@18"} << +None;
        QTest::newRow("markers late in a long event")
            << QList<QByteArray>{QByteArray(40, 'E') + "Gelu" + QByteArray(33, 'u') + "wel " +
                                 QByteArray(31, ' ') + QByteArray(1, '\x07')}
            << (Configure | Erase) << QStringList{"notice@44", "erased@81", "beep@113"} << +None;
        QTest::newRow("non-printable bytes only stored")
            << QList<QByteArray>{QByteArray("\x00\xFF\x1F\x7F", 4)} << +Download << none
            << +Download;
    }
    void markers() {
        QFETCH(QList<QByteArray>, events);
        QFETCH(int, flagsBefore);
        QFETCH(QStringList, calls);
        QFETCH(int, flagsAfter);

        Fixture f;
        if (flagsBefore & Download)
            f.receiver.startDownload();
        f.receiver.configureerflag = flagsBefore & Configure;
        f.receiver.eraseflag = flagsBefore & Erase;
        f.receiver.meetintervalleninstellen = flagsBefore & Intervals;

        QByteArray all;
        for (const QByteArray& e : events) {
            f.feed(e);
            all += e;
        }
        QCOMPARE(withoutSteps(f.sink.log), calls);
        QCOMPARE(f.receiver.teller, std::int32_t(all.size()));
        QCOMPARE(f.stored(all.size() + 4), all + QByteArray(4, '\0'));
        QCOMPARE(f.receiver.databinnenhalenklaar, !(flagsAfter & Download));
        QCOMPARE(f.receiver.configureerflag, bool(flagsAfter & Configure));
        QCOMPARE(f.receiver.eraseflag, bool(flagsAfter & Erase));
        QCOMPARE(f.receiver.meetintervalleninstellen, bool(flagsAfter & Intervals));
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
        QCOMPARE(f.receiver.teller, std::int32_t(17'000'000));
        QCOMPARE(f.receiver.droppedBytes, std::int64_t(10));
        QCOMPARE(f.image[16'999'999], std::uint8_t(0x22));
        QVERIFY(f.receiver.databinnenhalenklaar);

        // A new download starts afresh and may overflow again, told again.
        f.sink.log.clear();
        f.receiver.startDownload();
        QCOMPARE(f.image[0], std::uint8_t(0));
        f.feed(all);
        QCOMPARE(withoutSteps(f.sink.log), (QStringList{"overflow@17000000", "done@17000000"}));
    }

    void startDownloadResets() {
        Fixture f;
        f.feed("abcDONE");
        f.receiver.startDownload();
        QCOMPARE(f.receiver.teller, std::int32_t(0));
        QVERIFY(!f.receiver.databinnenhalenklaar);
        QCOMPARE(f.stored(8), QByteArray(8, '\0'));
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
