#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include <QByteArrayView>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include "link/receiver.h"

namespace veltrano {

// Command bytes of the logger protocol.
namespace command {
inline constexpr char Download = '#';
inline constexpr char Erase = '(';
inline constexpr char VoltageInterval = '!';
inline constexpr char TemperatureInterval = '"';
} // namespace command

// The logger's serial port (115200 8N1, no flow control) wired to the receive handler:
// every readyRead is one receive event with all bytes available at that moment.
class LoggerLink : public QObject {
    Q_OBJECT
public:
    LoggerLink(MemoryImage& image, ReceiverSink& sink, QObject* parent = nullptr);

    // Opens the port at `portName` (a device path); an open port is closed first.
    // On failure the port stays closed and errorString() says why. Opening and closing
    // break off a download in progress (Receiver::abortDownload).
    bool open(const QString& portName);
    void close();
    bool isOpen() const { return port_.isOpen(); }
    QString portName() const { return port_.portName(); }
    QString errorString() const { return port_.errorString(); }

    // Sends every byte as its own one-byte write. False when the port is closed or a
    // write fails.
    bool send(QByteArrayView bytes);

    // Resets the receiver for a new download, then sends the download command; when that
    // fails, no download runs.
    bool startDownload();

    Receiver& receiver() { return receiver_; }
    const Receiver& receiver() const { return receiver_; }

    // When the last bytes came in from the port (taken once per read, not per byte).
    std::chrono::steady_clock::time_point lastReceived() const { return lastReceived_; }
    // Bytes are waiting to be handled: the logger is not silent, whatever the clock says.
    bool receiving() const { return port_.isOpen() && port_.bytesAvailable() > 0; }

signals:
    // The device disappeared (unplugged); the port is closed right after the listeners
    // return (they may close it themselves). The bytes received so far stay in the image.
    void deviceLost();

private:
    void readAvailable();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    Receiver receiver_;
    bool lost_ = false;
    std::chrono::steady_clock::time_point lastReceived_;
    static constexpr int kExtraReadsPerTurn = 63;
    std::vector<std::uint8_t> chunk_; // one receive event
};

} // namespace veltrano
