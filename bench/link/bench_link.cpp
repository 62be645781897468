// The receive handler against memcpy, and a whole download over a pty against a plain copy
// of the same bytes through the same kind of pty. Prints each ratio at the end.
#include <cstring>
#include <fcntl.h>
#include <map>
#include <random>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <benchmark/benchmark.h>

#include "interleaved.h"

#include "link/loggerlink.h"
#include "loggerserver.h"
#include "simulatedlogger.h"

using namespace veltrano;

namespace {
constexpr std::size_t kChunk = 8192; // the serial port's read buffer: one receive event

// Random bytes, and real recording words repeated: two mixes of marker-end bytes.
const std::vector<std::uint8_t>& input(int kind) {
    static const std::vector<std::uint8_t> random = [] {
        std::vector<std::uint8_t> b(16 << 20);
        std::mt19937 gen(42);
        for (auto& x : b)
            x = std::uint8_t(gen());
        // A "DONE" would end the download and with it the storing.
        for (std::size_t i = 3; i < b.size(); ++i)
            if (std::memcmp(b.data() + i - 3, "DONE", 4) == 0)
                b[i] = 'e';
        return b;
    }();
    static const std::vector<std::uint8_t> recording = [] {
        const sim::Bytes one = sim::defaultRecording();
        std::vector<std::uint8_t> b;
        while (b.size() < (16u << 20))
            b.insert(b.end(), one.begin(), one.end());
        b.resize(16 << 20);
        return b;
    }();
    return kind == 0 ? random : recording;
}

void BM_ReceiverFloor(benchmark::State& state) {
    const auto& in = input(int(state.range(0)));
    MemoryImage image;
    for (auto _ : state) {
        std::size_t at = 0;
        for (std::size_t i = 0; i < in.size(); i += kChunk, at += kChunk)
            std::memcpy(image.data() + at, in.data() + i, kChunk);
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(in.size()));
}

void BM_Receiver(benchmark::State& state) {
    const auto& in = input(int(state.range(0)));
    MemoryImage image;
    ReceiverSink sink;
    Receiver receiver(image, sink);
    for (auto _ : state) {
        // Each round a download from the start into the same pages, as for the floor.
        state.PauseTiming();
        receiver.startDownload();
        state.ResumeTiming();
        for (std::size_t i = 0; i < in.size(); i += kChunk)
            receiver.receive(in.data() + i, kChunk);
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(in.size()));
}

// What a full logger memory download carries: 16,777,215 bytes and "DONE".
const sim::Bytes& fullMemory() {
    static const sim::Bytes m = [] {
        sim::Bytes b(sim::kLoggerMemorySize);
        for (std::size_t i = 0; i < b.size(); ++i)
            b[i] = std::uint8_t(i * 7 + 3);
        return b;
    }();
    return m;
}

class QuitOnDone final : public ReceiverSink {
public:
    QEventLoop* loop = nullptr;
    void downloadComplete() override { loop->quit(); }
};

// Ours: the simulated logger answers "#" on the pty; LoggerLink stores through the receiver.
void BM_Download(benchmark::State& state) {
    std::string path;
    const int master = sim::openRawPty(path);
    sim::SimulatedLogger logger(fullMemory());
    sim::LoggerServer server(logger);
    std::thread serving([&] { server.serve(master); });

    MemoryImage image;
    QuitOnDone sink;
    LoggerLink link(image, sink);
    if (!link.open(QString::fromStdString(path)))
        state.SkipWithError("cannot open the pty");
    for (auto _ : state) {
        QEventLoop loop;
        sink.loop = &loop;
        link.startDownload();
        loop.exec();
        if (std::size_t(link.receiver().storedBytes()) != fullMemory().size() + 4)
            state.SkipWithError("short download");
    }
    link.close();
    server.stop();
    serving.join();
    ::close(master);
    state.SetBytesProcessed(std::int64_t(state.iterations()) *
                            std::int64_t(fullMemory().size() + 4));
}

// Floor: the same bytes written on "#" into the same kind of pty and read with plain reads.
void BM_DownloadFloor(benchmark::State& state) {
    std::string path;
    const int master = sim::openRawPty(path);
    std::vector<std::uint8_t> bytes = fullMemory();
    bytes.insert(bytes.end(), {'D', 'O', 'N', 'E'});
    std::thread writer([&] {
        std::uint8_t c;
        while (::read(master, &c, 1) == 1 && c == '#') {
            std::size_t put = 0;
            while (put < bytes.size()) {
                const ssize_t n = ::write(master, bytes.data() + put, bytes.size() - put);
                if (n <= 0)
                    return;
                put += std::size_t(n);
            }
        }
    });
    const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    ::tcgetattr(slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);
    std::vector<std::uint8_t> target(kImageSize);
    for (auto _ : state) {
        const char hash = '#';
        [[maybe_unused]] auto w = ::write(slave, &hash, 1);
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(slave, target.data() + got, kChunk);
            if (n <= 0)
                break;
            got += std::size_t(n);
        }
        benchmark::DoNotOptimize(target.data());
    }
    const char stop = 'q';
    [[maybe_unused]] auto w = ::write(slave, &stop, 1);
    writer.join();
    ::close(slave);
    ::close(master);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}

// Repeated and interleaved, ratios from the medians: other work on the shared cores comes
// and goes within a run.
BENCHMARK(BM_ReceiverFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Receiver)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_DownloadFloor)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(0.5)
    ->Repetitions(5);
BENCHMARK(BM_Download)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(5);

// Console output plus, at the end, each of our benchmarks against its floor: CPU time for
// the receiver, which runs alone, wall time for the download, which spans two threads.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Aggregate &&
                r.aggregate_name == "median")
                medians_[r.run_name.function_name + "/" + r.run_name.args] = {
                    r.GetAdjustedCPUTime(), r.GetAdjustedRealTime()};
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        ratio("BM_Receiver/0", "BM_ReceiverFloor/0", false, "receiver, random bytes (cpu)");
        ratio("BM_Receiver/1", "BM_ReceiverFloor/1", false, "receiver, recording bytes (cpu)");
        ratio("BM_Download/", "BM_DownloadFloor/", true, "download over a pty (wall)");
    }

private:
    struct Times {
        double cpu;
        double real;
    };
    void ratio(const std::string& ours, const std::string& floor, bool wall, const char* what) {
        if (!medians_.count(ours) || !medians_.count(floor))
            return;
        const Times a = medians_[ours], b = medians_[floor];
        std::printf("ratio %-34s ours/floor = %.2f\n", what,
                    wall ? a.real / b.real : a.cpu / b.cpu);
    }
    std::map<std::string, Times> medians_;
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    RatioReporter reporter;
    return veltrano::bench::runInterleaved(argc, argv, reporter);
}
