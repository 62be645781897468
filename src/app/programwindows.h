#pragma once

#include <memory>

class QWidget;

namespace veltrano {

class TForm1;
class UiSeams;

// The program's three windows, created in this order: the main window, the configuration
// window and the notice window, the latter two hidden. Closing the main window ends the
// program, whatever else is open.
class ProgramWindows {
public:
    explicit ProgramWindows(UiSeams* seams);
    ~ProgramWindows();

    TForm1* Form1() const { return form1_.get(); }
    QWidget* Form2() const { return form2_.get(); }
    QWidget* Form4() const { return form4_.get(); }

private:
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<QWidget> form2_;
    std::unique_ptr<QWidget> form4_;
};

// Stand-ins until the real configuration and notice windows are built.
std::unique_ptr<QWidget> makeConfigurationWindow();
std::unique_ptr<QWidget> makeNoticeWindow();

} // namespace veltrano
