// A simulated logger on a pseudo-terminal, for tests and demonstrations.
#include <csignal>
#include <cstdio>
#include <thread>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <sys/socket.h>
#include <unistd.h>

#include "loggerserver.h"
#include "recording/memoryimage.h"
#include "simulatedlogger.h"
#ifdef VELTRANO_HAVE_UMOCKDEV
#include "usbtestbed.h"
#endif

using namespace veltrano;
using namespace veltrano::sim;

namespace {
int signalPipe[2] = {-1, -1};
void onSignal(int) {
    const char c = 0;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &c, 1);
}

void fail(const QString& message) {
    std::fprintf(stderr, "qlo-sim: %s\n", qPrintable(message));
    std::exit(2);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qlo-sim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated QLO logger on a pseudo-terminal.\n"
                       "Without --fd or --umockdev it creates a pty and prints the path to open."));
    parser.addHelpOption();
    const QCommandLineOption imageOption(
        QStringLiteral("image"),
        QStringLiteral("Memory image file to serve, up to its end marker (a small generated "
                       "image gives a short download)."),
        QStringLiteral("file"));
    const QCommandLineOption delayOption(QStringLiteral("erase-delay"),
                                         QStringLiteral("Erase time in milliseconds."),
                                         QStringLiteral("ms"), QStringLiteral("2000"));
    const QCommandLineOption fdOption(QStringLiteral("fd"),
                                      QStringLiteral("Serve on this inherited descriptor."),
                                      QStringLiteral("n"));
    const QCommandLineOption umockdevOption(
        QStringLiteral("umockdev"),
        QStringLiteral("Attach the logger as a fake USB device and run the command after "
                       "'--' with it (run under umockdev-wrapper)."));
    const QCommandLineOption samplesOption(
        QStringLiteral("samples"),
        QStringLiteral("Serve a built-in recording of n voltage samples at 1 s (default: one "
                       "hour). For short downloads."),
        QStringLiteral("n"));
    const QCommandLineOption rateOption(
        QStringLiteral("rate"),
        QStringLiteral("Send at most this many bytes per second (default: as fast as the pty "
                       "takes)."),
        QStringLiteral("bytes-per-second"), QStringLiteral("0"));
    const QCommandLineOption unplugOption(
        QStringLiteral("unplug-after"),
        QStringLiteral("Fault: the device disappears after sending this many bytes of a "
                       "download (\"DONE\" included). Without --umockdev the pty is closed."),
        QStringLiteral("bytes"));
    const QCommandLineOption stallOption(
        QStringLiteral("stall-after"),
        QStringLiteral("Fault: stop sending a download after this many of its bytes; the port "
                       "stays open and later commands are answered."),
        QStringLiteral("bytes"));
    const QCommandLineOption dropOption(
        QStringLiteral("drop-every"),
        QStringLiteral("Fault: drop one byte in every n bytes sent, at a place drawn from "
                       "--seed."),
        QStringLiteral("n"));
    const QCommandLineOption noReplyOption(
        QStringLiteral("no-reply"),
        QStringLiteral("Fault: never answer the erase or the interval setting (they are still "
                       "carried out)."));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed for everything random (default 1)."),
                                        QStringLiteral("n"), QStringLiteral("1"));
    parser.addOptions({imageOption, samplesOption, delayOption, fdOption, umockdevOption,
                       rateOption, unplugOption, stallOption, dropOption, noReplyOption,
                       seedOption});
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("With --umockdev: the program to run."),
                                 QStringLiteral("[-- command...]"));
    parser.process(app);

    // A non-negative whole number, or the program ends with a message about the option.
    const auto count = [&parser](const QCommandLineOption& option) {
        bool ok = false;
        const qulonglong n = parser.value(option).toULongLong(&ok);
        if (!ok)
            fail(QStringLiteral("--%1 wants a whole number").arg(option.names().first()));
        return n;
    };

    Bytes memory = defaultRecording();
    if (parser.isSet(samplesOption)) {
        const qulonglong n = count(samplesOption);
        if (n > 8'000'000)
            fail(QStringLiteral("--samples: at most 8000000"));
        memory = makeRecording(2, 1, int(n));
    }
    if (parser.isSet(imageOption)) {
        MemoryImage image;
        if (const auto error = image.load(parser.value(imageOption)))
            fail(*error);
        memory = memoryFromImage(image.data(), kFileDataSize);
    }
    bool ok = false;
    const int delay = parser.value(delayOption).toInt(&ok);
    if (!ok || delay < 0)
        fail(QStringLiteral("--erase-delay wants a number of milliseconds"));

    Faults faults;
    if (parser.isSet(unplugOption))
        faults.unplugAfter = count(unplugOption);
    if (parser.isSet(stallOption))
        faults.stallAfter = count(stallOption);
    if (parser.isSet(dropOption))
        faults.dropEvery = count(dropOption);
    faults.noReply = parser.isSet(noReplyOption);
    faults.seed = count(seedOption);

    SimulatedLogger logger(std::move(memory));
    LoggerServer server(logger, std::chrono::milliseconds(delay), faults);
    server.setRate(count(rateOption));

    if (parser.isSet(umockdevOption)) {
#ifdef VELTRANO_HAVE_UMOCKDEV
        const QStringList command = parser.positionalArguments();
        if (command.isEmpty())
            fail(QStringLiteral("--umockdev needs a command after '--'"));
        if (!UsbTestbed::available())
            fail(QStringLiteral("--umockdev must run under umockdev-wrapper"));
        UsbTestbed testbed;
        const int fd = testbed.addLogger("qlo1", "ttyACM0");
        if (fd < 0)
            fail(QStringLiteral("cannot create the fake USB device"));
        server.setUnplugHook([&testbed] { testbed.unplug("qlo1"); });
        std::thread serving([&] { server.serve(fd); });
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.setInputChannelMode(QProcess::ForwardedInputChannel);
        child.start(command.first(), command.mid(1)); // inherits the test bed's environment
        int code = 127;
        if (!child.waitForStarted(-1))
            std::fprintf(stderr, "qlo-sim: cannot start %s\n", qPrintable(command.first()));
        else if (child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit)
            code = child.exitCode();
        else
            code = 1;
        server.stop();
        serving.join();
        return code;
#else
        fail(QStringLiteral("built without umockdev"));
#endif
    }

    int fd = -1;
    if (parser.isSet(fdOption)) {
        fd = parser.value(fdOption).toInt(&ok);
        if (!ok || fd < 0)
            fail(QStringLiteral("--fd wants a descriptor number"));
    } else {
        std::string path;
        fd = openRawPty(path);
        if (fd < 0)
            fail(QStringLiteral("cannot create a pseudo-terminal"));
        std::printf("%s\n", path.c_str());
        std::fflush(stdout);
    }

    // SIGINT and SIGTERM end the serving cleanly.
    if (::pipe(signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, [&] { server.stop(); });
        std::thread serving([&] {
            server.serve(fd);
            QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
        });
        QCoreApplication::exec();
        server.stop();
        serving.join();
    } else {
        server.serve(fd);
    }
    // Unplugged: closing the controlling side hangs the terminal side up.
    ::close(fd);
    return 0;
}
