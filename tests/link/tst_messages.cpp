// What the logger's answers tell the user comes after the read that brought them, never from
// inside it: while a message is open, the rest of a download keeps arriving and is stored.
#include <thread>

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "link/linkcontroller.h"
#include "link/linktexts.h"
#include "linkfixture.h"
#include "recordingwindow.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {

// Runs the event loop, as a message box does while it is open, until `done` or 10 seconds.
void keepOpenUntil(const std::function<bool()>& done) {
    QEventLoop box;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &box, [&] {
        if (done())
            box.quit();
    });
    poll.start(5);
    QTimer::singleShot(10'000, &box, &QEventLoop::quit);
    box.exec();
}

} // namespace

class TestMessages : public QObject {
    Q_OBJECT
    int master = -1;
    std::string path;

private slots:
    void init() {
        master = sim::openRawPty(path);
        QVERIFY(master >= 0);
    }
    void cleanup() { ::close(master); }

    // An erase's "wel " at the start of a download that then brings more than the image holds:
    // "Wissen gelukt" opens while the download goes on, every byte that fits is stored while it
    // is open, and the message about the bytes too many shows as well, after it.
    void downloadGoesOnWhileAMessageIsOpen() {
        MemoryImage image;
        ListedDevices finder;
        RecordingWindow window;
        LinkController link(image, finder, window);
        QVERIFY(link.link().open(QString::fromStdString(path)));
        link.erase();
        QCOMPARE(readWire(master, 1), QByteArray("("));
        link.startDownload();
        QCOMPARE(readWire(master, 1), QByteArray("#"));

        const QByteArray first = QByteArray("wel ") + QByteArray(1000, '\x11');
        const QByteArray rest(std::int64_t(kImageSize) - first.size() + 500, '\x22');
        std::thread logger;
        std::int64_t storedWhileOpen = -1;
        // The first message stays open while the logger sends the rest.
        window.whileMessageShows = [&](const QString&) {
            if (logger.joinable())
                return;
            logger = std::thread([this, &rest] { writeWire(master, rest); });
            keepOpenUntil(
                [&] { return link.receiver().storedBytes() == std::int32_t(kImageSize); });
            storedWhileOpen = link.receiver().storedBytes();
        };
        QVERIFY(writeWire(master, first));
        QTRY_COMPARE_WITH_TIMEOUT(window.log.size(), 6, 20'000);
        logger.join();

        QCOMPARE(storedWhileOpen, std::int64_t(kImageSize));
        QCOMPARE(window.log,
                 (QStringList{"confirm:" + linktext::EraseQuestion, "eraseStarted",
                              "downloadStarting", "eraseFinished", "info:" + linktext::EraseDone,
                              "info:" + linktext::DownloadTooLong}));
        QCOMPARE(link.receiver().droppedBytes(), 500);
        QCOMPARE(image[kImageSize - 1], std::uint8_t(0x22));
    }
};

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"
