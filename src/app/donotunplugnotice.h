#pragma once

#include <QDialog>

namespace veltrano {

// The notice shown while the logger takes over new measurement intervals: it must not be
// unplugged meanwhile.
class DoNotUnplugNotice : public QDialog {
    Q_OBJECT
public:
    explicit DoNotUnplugNotice(QWidget* parent = nullptr);
};

} // namespace veltrano
