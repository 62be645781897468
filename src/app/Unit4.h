#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace veltrano {

// The notice shown while the logger takes over new measurement intervals.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;
};

} // namespace veltrano
