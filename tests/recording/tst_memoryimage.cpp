#include <algorithm>
#include <csignal>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>

#include "recording/memoryimage.h"
#include "testfiles.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
void fillPattern(MemoryImage& image, int seed) {
    const QByteArray p = patternBytes(kImageSize, seed);
    std::memcpy(image.data(), p.constData(), kImageSize);
}
bool imageEquals(const MemoryImage& image, const QByteArray& bytes, std::size_t from,
                 std::size_t n) {
    return std::memcmp(image.data() + from, bytes.constData() + from, n) == 0;
}
} // namespace

class TestMemoryImage : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void wordsAreBigEndianTaggedWords_data() {
        QTest::addColumn<int>("hi");
        QTest::addColumn<int>("lo");
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("value");
        QTest::newRow("start 18") << 0x0C << 0x12 << 3 << 18;
        QTest::newRow("voltage 341") << 0x41 << 0x55 << 16 << 341;
        QTest::newRow("erased") << 0xFF << 0xFF << 63 << 1023;
        QTest::newRow("DONE first half") << 0x44 << 0x4F << 17 << 79;
        QTest::newRow("DONE second half") << 0x4E << 0x45 << 19 << 581;
        QTest::newRow("zero") << 0 << 0 << 0 << 0;
    }
    void wordsAreBigEndianTaggedWords() {
        QFETCH(int, hi);
        QFETCH(int, lo);
        QFETCH(int, tag);
        QFETCH(int, value);
        const std::uint8_t bytes[4] = {0, 0, std::uint8_t(hi), std::uint8_t(lo)};
        const ImageWord w = splitWord(bytes, 1);
        QCOMPARE(w.tag, tag);
        QCOMPARE(w.value, value);
    }

    void newImageIsZeroAndFullSize() {
        MemoryImage image;
        QCOMPARE(image.size(), std::size_t(17'000'000));
        const QByteArray zeros(qsizetype(kImageSize), '\0');
        QVERIFY(imageEquals(image, zeros, 0, kImageSize));
    }

    // clear() empties only what may have been written; whatever way the bytes got in, the
    // image reads all zero afterwards.
    void clearEmptiesWhateverWasWritten_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("a write in the middle") << "middle";
        QTest::newRow("a write up to the very end") << "end";
        QTest::newRow("the last byte through data()") << "pointer";
        QTest::newRow("a file") << "file";
        QTest::newRow("a long write, cleared, then a short one") << "shrink";
    }
    void clearEmptiesWhateverWasWritten() {
        QFETCH(QString, how);
        MemoryImage image;
        const QByteArray p = patternBytes(1 << 20, 6);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(p.constData());
        if (how == "middle") {
            image.write(5'000'000, bytes, 1000);
            QCOMPARE(image.writtenExtent(), std::size_t(5'001'000));
        } else if (how == "end") {
            image.write(kImageSize - 3, bytes, 3);
        } else if (how == "pointer") {
            image.data()[kImageSize - 1] = 0x5A;
        } else if (how == "file") {
            const QString path = dir.filePath("clear.img");
            writeFile(path, patternBytes(kImageSize, 7));
            QVERIFY(!image.load(path));
        } else {
            image.write(0, bytes, std::size_t(p.size()));
            image.clear();
            image.write(0, bytes, 10);
            QCOMPARE(image.writtenExtent(), std::size_t(10));
        }
        image.clear();
        QCOMPARE(image.writtenExtent(), std::size_t(0));
        const std::uint8_t* d = image.constData();
        QVERIFY(std::all_of(d, d + kImageSize, [](std::uint8_t b) { return b == 0; }));
    }

    void saveThenLoadRestoresAllButTheLastFourBytes() {
        MemoryImage source;
        fillPattern(source, 3);
        const QString path = dir.filePath("roundtrip.img");
        QVERIFY(!source.save(path));

        const QByteArray file = readFile(path);
        QCOMPARE(file.size(), qsizetype(17'000'000));
        QCOMPARE(file.left(4), QByteArray::fromHex("40660301"));

        MemoryImage target;
        fillPattern(target, 99);
        const QByteArray before = patternBytes(kImageSize, 99);
        QVERIFY(!target.load(path));
        const QByteArray expected = patternBytes(kImageSize, 3);
        QVERIFY(imageEquals(target, expected, 0, kFileDataSize));
        QVERIFY(imageEquals(target, before, kFileDataSize, 4));
    }

    // The length field is never examined, and only the first 17,000,000 bytes count.
    void fileFormsThatOpen_data() {
        QTest::addColumn<QByteArray>("lengthField");
        QTest::addColumn<int>("extra");
        QTest::newRow("saved form") << QByteArray::fromHex("40660301") << 0;
        QTest::newRow("wrong length field") << QByteArray::fromHex("deadbeef") << 0;
        QTest::newRow("one byte too long") << QByteArray::fromHex("40660301") << 1;
        QTest::newRow("much longer") << QByteArray::fromHex("00000000") << 5000;
    }
    void fileFormsThatOpen() {
        QFETCH(QByteArray, lengthField);
        QFETCH(int, extra);
        const QByteArray data = patternBytes(kFileDataSize + std::size_t(extra), 11);
        const QString path = dir.filePath("form.img");
        writeFile(path, lengthField + data);
        MemoryImage image;
        QVERIFY(!image.load(path));
        QVERIFY(imageEquals(image, data, 0, kFileDataSize));
    }

    // A failed open leaves every byte as it was.
    void failedOpensKeepTheBuffer_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("missing") << "missing"
                                 << "niet openen";
        QTest::newRow("directory") << "directory"
                                   << "niet openen";
        QTest::newRow("socket node") << "socket"
                                     << "niet openen";
        QTest::newRow("empty") << "0"
                               << "Leesfout";
        QTest::newRow("one byte") << "1"
                                  << "Leesfout";
        QTest::newRow("four bytes") << "4"
                                    << "Leesfout";
        QTest::newRow("one byte short") << "16999999"
                                        << "Leesfout";
    }
    void failedOpensKeepTheBuffer() {
        QFETCH(QString, kind);
        QFETCH(QString, messagePart);
        const QString path = dir.filePath("bad-" + kind);
        if (kind == "directory")
            QVERIFY(QDir().mkpath(path));
        else if (kind == "socket")
            QVERIFY(makeSocketNode(path));
        else if (kind != "missing")
            writeFile(path, patternBytes(kind.toULongLong(), 5));

        MemoryImage image;
        fillPattern(image, 42);
        const auto error = image.load(path);
        QVERIFY(error.has_value());
        QVERIFY2(error->contains(messagePart), qPrintable(*error));
        QVERIFY2(error->contains(path), qPrintable(*error));
        QVERIFY(imageEquals(image, patternBytes(kImageSize, 42), 0, kImageSize));
    }

    void savedFileIsAlwaysFullSize() {
        MemoryImage image; // all zero
        const QString path = dir.filePath("zero.img");
        QVERIFY(!image.save(path));
        QCOMPARE(QFileInfo(path).size(), qint64(17'000'000));
    }

    void failedSaveKeepsTheOldFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("target is a directory") << "directory";
        QTest::newRow("folder missing") << "nofolder";
        QTest::newRow("disk full") << "full";
    }
    void failedSaveKeepsTheOldFile() {
        QFETCH(QString, kind);
        MemoryImage image;
        fillPattern(image, 8);
        QString path = dir.filePath("keep-" + kind);
        const QByteArray old("the old file, whole");
        if (kind == "directory") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "nofolder") {
            path = dir.filePath("no/such/folder/x.img");
        } else {
            writeFile(path, old);
        }

        std::optional<QString> error;
        if (kind == "full") {
            // A file-size limit makes every write past 1 MB fail as on a full disk.
            rlimit saved{};
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit small = saved;
            small.rlim_cur = 1 << 20;
            auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &small);
            error = image.save(path);
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, oldHandler);
            QCOMPARE(readFile(path), old);
            QDir d(dir.path());
            QCOMPARE(d.entryList({"keep-full*"}, QDir::Files).size(), qsizetype(1));
        } else {
            error = image.save(path);
        }
        QVERIFY(error.has_value());
        QVERIFY2(error->contains("niet opslaan"), qPrintable(*error));
    }
};

QTEST_GUILESS_MAIN(TestMemoryImage)
#include "tst_memoryimage.moc"
