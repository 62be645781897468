// Started by qlo-sim --umockdev in a test: lists the loggers it sees and downloads from the
// first one. Exit code 0: the download completed; 6: the device went away.
#include <cstdio>

#include <QCoreApplication>
#include <QTimer>

#include "link/devicefinder.h"
#include "link/loggerlink.h"

using namespace veltrano;

namespace {
class Done final : public ReceiverSink {
public:
    void downloadComplete() override { QCoreApplication::exit(0); }
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QList<FoundDevice> devices = UdevDeviceFinder().findLoggers();
    for (const FoundDevice& d : devices)
        std::printf("found %s %s\n", qPrintable(d.displayName), qPrintable(d.portName));
    if (devices.isEmpty())
        return 3;
    MemoryImage image;
    Done sink;
    LoggerLink link(image, sink);
    if (!link.open(devices.first().portName) || !link.startDownload()) {
        std::printf("cannot open: %s\n", qPrintable(link.errorString()));
        return 4;
    }
    QTimer::singleShot(30'000, &app, [] { QCoreApplication::exit(5); });
    QObject::connect(&link, &LoggerLink::deviceLost, &app, [] {
        std::printf("lost\n");
        QCoreApplication::exit(6);
    });
    const int code = QCoreApplication::exec();
    std::printf("downloaded %d bytes\n", link.receiver().storedBytes());
    return code;
}
