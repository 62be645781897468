#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace veltrano {

struct FoundDevice {
    QString displayName; // e.g. "QLO01 (ttyACM0)"
    QString portName;    // what the serial port opens, e.g. "/dev/ttyACM0"
};

// The logger's USB identity (usbidentity.h).
QByteArray loggerManufacturer();
QByteArray loggerProduct();

class DeviceFinder {
public:
    virtual ~DeviceFinder() = default;
    // The serial devices whose USB manufacturer is exactly `manufacturer` and whose USB
    // product description is exactly `product`, in the system's enumeration order.
    virtual QList<FoundDevice> find(const QByteArray& manufacturer,
                                    const QByteArray& product) const = 0;
    QList<FoundDevice> findLoggers() const { return find(loggerManufacturer(), loggerProduct()); }
};

// Walks the tty devices with libudev and compares the raw sysfs attributes of their USB
// device (a serial-port listing folds the comma and trims the blanks).
class UdevDeviceFinder final : public DeviceFinder {
public:
    QList<FoundDevice> find(const QByteArray& manufacturer,
                            const QByteArray& product) const override;
};

} // namespace veltrano
