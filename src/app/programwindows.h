#pragma once

#include <memory>

namespace veltrano {

class TForm1;
class TForm2;
class TForm4;
class UiSeams;
class UserSettings;

// The program's three windows, created in this order: the main window, the configuration
// window and the notice window, the latter two hidden. Closing the main window ends the
// program, whatever else is open. With `settings`, the windows take the user's remembered
// choices before they show and keep them up to date; without, they start from the start values.
class ProgramWindows {
public:
    explicit ProgramWindows(UiSeams* seams, UserSettings* settings = nullptr);
    ~ProgramWindows();

    // Shows the main window where the user left it (at first: maximised), and says once when
    // none of the remembered settings could be used.
    void show();

    TForm1* Form1() const { return form1_.get(); }
    TForm2* Form2() const { return form2_.get(); }
    TForm4* Form4() const { return form4_.get(); }

private:
    UiSeams* seams_;
    UserSettings* settings_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm4> form4_;
};

} // namespace veltrano
