#pragma once

#include <QObject>

namespace veltrano {

// The conversation with the logger that is under way; one at a time.
enum class LinkActivity { None, Downloading, Erasing, SettingIntervals };

// What the main window is doing and what it holds. Every enabled state and every progress
// bar of the window follows from this, in controlStates().
struct WindowState {
    LinkActivity link = LinkActivity::None;
    bool processing = false;
    bool connected = false;
    // An image to process: a file was opened, a download ended or a run was made.
    bool imageReady = false;
    // The time unit and the filters have been unlocked by a download or a run.
    bool settingsUnlocked = false;
    // The chart has been filled once: "Grafiek navigatie" is usable.
    bool chartDrawn = false;
    // The image came from a download and has not been saved since.
    bool unsavedDownload = false;
    // The last run closed its recording: there is something to export.
    bool resultCompleted = false;
    // An export is being written.
    bool exporting = false;

    bool operator==(const WindowState&) const = default;
};

// The enabled and visible states that follow from a WindowState.
struct ControlStates {
    bool connectShown = true; // "Verbinden" shown, "Verbreken" hidden
    bool receiveData = false; // "Data ophalen"
    bool process = false;     // "Data verwerken"
    bool timeUnits = false;   // "Tijdeenheid"
    bool filters = false;     // "Filter instellingen" and "Filters toepassen"
    bool configuration = true;
    bool erase = true;           // "Geheugen wissen"
    bool intervalSetting = true; // "Meetintervallen instellen" of the configuration window
    bool navigation = false;
    bool exports = false; // the chart's and the report's export entries
    bool downloadRunning = false;
    bool eraseBar = false;
    bool processingRunning = false;
    bool exportBar = false; // the export's bar and "Annuleren"

    bool operator==(const ControlStates&) const = default;
};

ControlStates controlStates(const WindowState& state);

// The window's state with its transitions; `changed` follows every transition that changed
// something.
class WindowStateModel : public QObject {
    Q_OBJECT
public:
    explicit WindowStateModel(QObject* parent = nullptr) : QObject(parent) {}

    const WindowState& state() const { return state_; }

    void setConnected(bool connected);
    void downloadStarted();
    // Complete ("DONE") or broken off: either way the bytes so far are the image.
    void downloadEnded();
    // "DONE" outside a download still unlocks processing.
    void doneOutsideDownload();
    void conversationStarted(LinkActivity activity);
    void conversationEnded();
    void runStarted();
    void runEnded(bool completed);
    void exportStarted();
    void exportEnded();
    void imageOpened();
    void imageSaved();
    void chartDrawn();

signals:
    void changed();

private:
    template <class F> void update(F&& change);

    WindowState state_;
};

} // namespace veltrano
