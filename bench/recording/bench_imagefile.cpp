// Opening and saving a full image file against plain copies of the same bytes.
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "recording/memoryimage.h"

using namespace veltrano;

namespace {
QTemporaryDir& dir() {
    static QTemporaryDir d;
    return d;
}
QString imagePath() {
    static const QString path = [] {
        const QString p = dir().filePath("bench.img");
        MemoryImage image;
        for (std::size_t i = 0; i < kImageSize; ++i)
            image.data()[i] = std::uint8_t(i * 13);
        image.save(p);
        return p;
    }();
    return path;
}

// Floor: read the same 17,000,000 bytes into a buffer with one read.
void BM_PlainRead(benchmark::State& state) {
    const QByteArray name = QFile::encodeName(imagePath());
    std::vector<char> buffer(kImageSize);
    for (auto _ : state) {
        const int fd = ::open(name.constData(), O_RDONLY);
        std::size_t got = 0;
        while (got < kImageSize) {
            const ssize_t n = ::read(fd, buffer.data() + got, kImageSize - got);
            if (n <= 0)
                break;
            got += std::size_t(n);
        }
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kImageSize));
}

void BM_Open(benchmark::State& state) {
    const QString path = imagePath();
    MemoryImage image;
    for (auto _ : state) {
        auto error = image.load(path);
        benchmark::DoNotOptimize(error);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kImageSize));
}

// Floors for saving: a plain write, and a plain write made durable as any safe save must be.
void plainWrite(benchmark::State& state, bool sync) {
    const QByteArray name = QFile::encodeName(dir().filePath("plain.img"));
    std::vector<char> buffer(kImageSize, 7);
    for (auto _ : state) {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::size_t put = 0;
        while (put < kImageSize) {
            const ssize_t n = ::write(fd, buffer.data() + put, kImageSize - put);
            if (n <= 0)
                break;
            put += std::size_t(n);
        }
        if (sync)
            ::fdatasync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kImageSize));
}
void BM_PlainWrite(benchmark::State& state) { plainWrite(state, false); }
void BM_PlainWriteSynced(benchmark::State& state) { plainWrite(state, true); }

void BM_Save(benchmark::State& state) {
    const QString path = dir().filePath("saved.img");
    MemoryImage image;
    for (auto _ : state) {
        auto error = image.save(path);
        benchmark::DoNotOptimize(error);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kImageSize));
}
} // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteSynced)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
