#include "devicefinder.h"

#include <memory>
#include <optional>

#include <QFile>
#include <libudev.h>

#include "link/usbidentity.h"

namespace veltrano {

QByteArray loggerManufacturer() {
    return QByteArray(kLoggerManufacturer);
}
QByteArray loggerProduct() {
    return QByteArray(kLoggerProduct);
}

namespace {
struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T> using UdevPtr = std::unique_ptr<T, UdevDeleter>;

// The attribute file as the kernel wrote it, less the one line end it appends. libudev
// would also do, but some of its versions strip trailing blanks, which matter here.
std::optional<QByteArray> rawAttribute(const char* syspath, const char* name) {
    QFile file(QString::fromLocal8Bit(syspath) + u'/' + QLatin1StringView(name));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray value = file.read(4096);
    if (value.endsWith('\n'))
        value.chop(1);
    return value;
}
} // namespace

QList<FoundDevice> UdevDeviceFinder::find(const QByteArray& manufacturer,
                                          const QByteArray& product) const {
    QList<FoundDevice> found;
    UdevPtr<udev> u(udev_new());
    if (!u)
        return found;
    UdevPtr<udev_enumerate> e(udev_enumerate_new(u.get()));
    if (!e || udev_enumerate_add_match_subsystem(e.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(e.get()) < 0)
        return found;

    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e.get())) {
        UdevPtr<udev_device> tty(
            udev_device_new_from_syspath(u.get(), udev_list_entry_get_name(entry)));
        if (!tty)
            continue;
        const char* node = udev_device_get_devnode(tty.get());
        // Owned by tty, not to be unreferenced.
        udev_device* usb =
            udev_device_get_parent_with_subsystem_devtype(tty.get(), "usb", "usb_device");
        if (!node || !usb)
            continue;
        const char* usbPath = udev_device_get_syspath(usb);
        if (rawAttribute(usbPath, "manufacturer") != manufacturer ||
            rawAttribute(usbPath, "product") != product)
            continue;
        const QString sysname = QString::fromLocal8Bit(udev_device_get_sysname(tty.get()));
        const QString name = QString::fromLatin1(product.trimmed()) + QStringLiteral(" (") +
                             sysname + QLatin1Char(')');
        found.append(FoundDevice{name, QString::fromLocal8Bit(node)});
    }
    return found;
}

} // namespace veltrano
