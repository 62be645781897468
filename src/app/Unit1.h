#pragma once

#include <memory>

#include <QMainWindow>

#include "recording/memoryimage.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace veltrano {

class UiSeams;

// The main window: owns the memory image and the run-time state.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(UiSeams* seams, QWidget* parent = nullptr);
    ~TForm1() override;

    MemoryImage spanningArray;

    QGroupBox* MenuGroupBox = nullptr;
    QPushButton* Connect = nullptr;
    QPushButton* disconnect = nullptr;
    QPushButton* Buttonreceivedata = nullptr;
    QPushButton* buttonmemo = nullptr;
    QPushButton* dataopenen = nullptr;
    QPushButton* Buttonerase = nullptr;
    QPushButton* Buttontext = nullptr;
    QPushButton* Meetintervaltabelbutton = nullptr;
    QLabel* StatusLabel = nullptr;

public slots:
    void dataopenenClick();
    void ButtontextClick();

private:
    UiSeams* seams_;
};

} // namespace veltrano
