#pragma once

#include <map>
#include <string>

// Kept free of Qt and glib: umockdev's headers and Qt's `signals` macro do not mix.
namespace veltrano::sim {

// A umockdev test bed with fake USB serial devices. The process (and its children) must
// run under umockdev-wrapper for libudev and the device nodes to see it.
class UsbTestbed {
public:
    UsbTestbed();
    ~UsbTestbed();
    UsbTestbed(const UsbTestbed&) = delete;
    UsbTestbed& operator=(const UsbTestbed&) = delete;

    static bool available(); // running under umockdev-wrapper

    // Adds a USB device `usbName` with these raw manufacturer and product attributes and a
    // tty child `ttyName` whose node /dev/<ttyName> is a pty. Returns the controlling fd of
    // that pty (owned by the test bed), or -1.
    int addSerialDevice(const std::string& usbName, const std::string& manufacturer,
                        const std::string& product, const std::string& ttyName);
    // A device with the logger's exact USB identity.
    int addLogger(const std::string& usbName, const std::string& ttyName);

    // Pulls the plug: the device leaves sysfs and its pty hangs up, so the open port
    // fails. Whoever served the pty's fd reads end of file from then on.
    void unplug(const std::string& usbName);

private:
    struct Device {
        std::string syspath;
        std::string ttyNode;
        int fd = -1;
    };
    void* testbed_; // UMockdevTestbed
    std::map<std::string, Device> devices_;
};

} // namespace veltrano::sim
