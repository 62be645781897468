#include "loggerlink.h"

#include <poll.h>

namespace veltrano {

LoggerLink::LoggerLink(MemoryImage& image, ReceiverSink& sink, QObject* parent)
    : QObject(parent), receiver_(image, sink) {
    port_.setBaudRate(QSerialPort::Baud115200);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(8192);
    connect(&port_, &QSerialPort::readyRead, this, &LoggerLink::readAvailable);
    connect(&port_, &QSerialPort::errorOccurred, this, &LoggerLink::onError);
}

bool LoggerLink::open(const QString& portName) {
    // A download does not outlive its port: nothing a new connection sends belongs to it.
    receiver_.abortDownload();
    if (port_.isOpen())
        port_.close();
    port_.setPortName(portName);
    lost_ = false;
    return port_.open(QIODevice::ReadWrite);
}

void LoggerLink::close() {
    receiver_.abortDownload();
    if (port_.isOpen())
        port_.close();
}

bool LoggerLink::send(QByteArrayView bytes) {
    if (!port_.isOpen())
        return false;
    for (const char c : bytes) {
        if (port_.write(&c, 1) != 1)
            return false;
        port_.flush(); // one write per byte on the wire, not one coalesced block
    }
    return true;
}

bool LoggerLink::startDownload() {
    receiver_.startDownload();
    if (send(QByteArrayView(&command::Download, 1)))
        return true;
    receiver_.abortDownload();
    return false;
}

void LoggerLink::readAvailable() {
    // A pty or USB tty hands over a few KiB per read. While a download streams in, take a
    // few more reads straight from the port before going back to the event loop: one turn
    // of the loop per read costs more than the bytes themselves.
    int extraReads = kExtraReadsPerTurn;
    while (port_.isOpen()) {
        const qint64 n = port_.bytesAvailable();
        if (n <= 0) {
            if (extraReads-- <= 0 || !port_.waitForReadyRead(0)) {
                if (port_.error() == QSerialPort::TimeoutError)
                    port_.clearError();
                break;
            }
            continue;
        }
        chunk_.resize(std::size_t(n));
        const qint64 got = port_.read(reinterpret_cast<char*>(chunk_.data()), n);
        if (got <= 0)
            break;
        lastReceived_ = std::chrono::steady_clock::now();
        receiver_.receive(chunk_.data(), std::size_t(got));
    }
}

void LoggerLink::onError(QSerialPort::SerialPortError error) {
    if (lost_ || (error != QSerialPort::ResourceError && error != QSerialPort::ReadError))
        return;
    // An unplugged tty is hung up: reads return end of file, which this Qt reports as a
    // read error, over and over. Only a hang-up counts as the device being gone.
    if (error == QSerialPort::ReadError) {
        pollfd p{int(port_.handle()), POLLIN, 0};
        if (::poll(&p, 1, 0) < 0 || !(p.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return;
    }
    lost_ = true;
    // Closed from the event loop, not from inside the port's own error report.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!lost_ || !port_.isOpen()) // closed or reopened meanwhile
                return;
            // Told first, so that whoever listens still sees what was under way.
            emit deviceLost();
            close();
        },
        Qt::QueuedConnection);
}

} // namespace veltrano
