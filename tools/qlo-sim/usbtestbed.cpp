#include "usbtestbed.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <umockdev.h>

#include "link/usbidentity.h"

namespace veltrano::sim {

namespace {
UMockdevTestbed* bed(void* p) {
    return static_cast<UMockdevTestbed*>(p);
}
} // namespace

UsbTestbed::UsbTestbed() : testbed_(umockdev_testbed_new()) {}

UsbTestbed::~UsbTestbed() {
    g_object_unref(bed(testbed_));
}

bool UsbTestbed::available() {
    // umockdev_in_mock_environment() answers false under the wrapper of this umockdev.
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload");
}

int UsbTestbed::addSerialDevice(const std::string& usbName, const std::string& manufacturer,
                                const std::string& product, const std::string& ttyName) {
    gchar* usb = umockdev_testbed_add_device(bed(testbed_), "usb", usbName.c_str(), nullptr,
                                             // attributes
                                             "manufacturer", manufacturer.c_str(), "product",
                                             product.c_str(), "idVendor", "04d8", "idProduct",
                                             "000a", nullptr,
                                             // properties
                                             "DEVTYPE", "usb_device", nullptr);
    if (!usb)
        return -1;
    Device device;
    device.syspath = usb;
    g_free(usb);

    // Only a described device gets a pty as its node.
    const std::string node = "/dev/" + ttyName;
    const std::string record = "P: " + device.syspath.substr(4) + "/" + ttyName +
                               "\nN: " + ttyName + "\nE: SUBSYSTEM=tty\nE: DEVNAME=" + node + "\n";
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(bed(testbed_), record.c_str(), &error)) {
        g_clear_error(&error);
        umockdev_testbed_remove_device(bed(testbed_), device.syspath.c_str());
        return -1;
    }
    device.ttyNode = node;
    device.fd = umockdev_testbed_get_dev_fd(bed(testbed_), node.c_str());
    // A child started with the device must not hold the controlling side open: unplugging
    // could not hang the pty up then.
    if (device.fd >= 0)
        ::fcntl(device.fd, F_SETFD, ::fcntl(device.fd, F_GETFD) | FD_CLOEXEC);
    const int fd = device.fd;
    devices_[usbName] = device;
    return fd;
}

int UsbTestbed::addLogger(const std::string& usbName, const std::string& ttyName) {
    return addSerialDevice(usbName, kLoggerManufacturer, kLoggerProduct, ttyName);
}

void UsbTestbed::unplug(const std::string& usbName) {
    const auto it = devices_.find(usbName);
    if (it == devices_.end())
        return;
    umockdev_testbed_remove_device(bed(testbed_), it->second.syspath.c_str());
    if (it->second.fd >= 0) {
        // The test bed owns and later closes this fd, so it is swapped for /dev/null rather
        // than closed: the pty's controlling side goes away and its terminal side hangs up.
        const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        if (null >= 0) {
            ::dup2(null, it->second.fd);
            ::close(null);
        }
    }
    devices_.erase(it);
}

} // namespace veltrano::sim
