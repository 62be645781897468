#pragma once

#include <memory>

namespace veltrano {

class ConfigurationWindow;
class DoNotUnplugNotice;
class MainWindow;
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

    MainWindow* mainWindow() const { return main_.get(); }
    ConfigurationWindow* configurationWindow() const { return configuration_.get(); }
    DoNotUnplugNotice* notice() const { return notice_.get(); }

private:
    UiSeams* seams_;
    UserSettings* settings_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<ConfigurationWindow> configuration_;
    std::unique_ptr<DoNotUnplugNotice> notice_;
};

} // namespace veltrano
