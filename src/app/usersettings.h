#pragma once

#include <memory>

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSettings>
#include <QString>

#include "analysis/processing.h"
#include "dialogfolder.h"
#include "recording/intervals.h"

class QLocale;
class QWidget;

namespace veltrano {

class ConfigurationWindow;
class MainWindow;

inline const QString kRestoreDefaults = QStringLiteral("Standaardwaarden herstellen");

// The user's choices that the program keeps from one session to the next.
struct RememberedChoices {
    // Of these only the six filter texts, the two filter units and the time unit; the dates
    // belong to one recording.
    ProcessingSettings filters = ProcessingSettings::defaults();
    int voltageInterval = kInitialVoltageListIndex; // the configuration window's two lists
    int temperatureInterval = kInitialTemperatureListIndex;
    QString folder;       // of the file dialogs; empty: the dialogs choose
    QRect normalGeometry; // the main window when not maximised; empty: its screen's free area
    bool maximised = true;
};

// What a store gave: its usable values over the start values.
struct StoredChoices {
    RememberedChoices choices;
    int usable = 0;
    int unusable = 0; // held by the store, but not usable
    // The store holds something, yet not one value of it could be used: a damaged file, a
    // file that is no settings file, a folder in the file's place, only values that fail.
    bool nothingUsable = false;
};

// Reads the choices from a store. A value that cannot be used keeps its start value: one of
// a wrong type, a text the edit's key checks would refuse with this locale's decimal
// separator, an index outside its list, a folder that is gone, a window rectangle that has
// no part on any screen. A rectangle partly off the screens is moved wholly onto the screen
// it overlaps most, and made no larger than that screen's free area.
StoredChoices readChoices(QSettings& store, const QLocale& locale);
void writeChoices(QSettings& store, const RememberedChoices& choices);

// Shows the main window at its remembered place (at the start: its screen's free area),
// maximised or not.
void showMainWindow(QWidget& window, const RememberedChoices& choices);

// Keeps the user's choices between sessions in a settings store. attach() reads the store
// once, before the windows show, and puts what can be used into them; the choices are
// written back when the main window closes and when a run starts. "Standaardwaarden
// herstellen" in the context menu of "Filter instellingen" puts the remembered controls back
// to their start values.
class UserSettings : public QObject {
    Q_OBJECT
public:
    // The user's own store: organisation and application "Veltrano", the native format.
    static std::unique_ptr<QSettings> userStore();

    explicit UserSettings(std::unique_ptr<QSettings> store, QObject* parent = nullptr);
    ~UserSettings() override;

    // Shared by every file dialog of the program.
    DialogFolder& folder() { return folder_; }
    const DialogFolder& folder() const { return folder_; }

    void attach(MainWindow& main, ConfigurationWindow& configuration);
    // What attach() read.
    const StoredChoices& stored() const { return stored_; }
    // The choices as the windows and the dialogs hold them now.
    RememberedChoices current() const;
    // Writes current() into the store; a store that cannot be written is left as it is.
    void store();
    // The filters, the time unit and the two interval choices back to their start values.
    // The window's place and the dialogs' folder stay as they are.
    void restoreDefaults();
    // Said once after start-up when nothing the store held could be used.
    QString unusableMessage() const;

private:
    std::unique_ptr<QSettings> store_;
    DialogFolder folder_;
    StoredChoices stored_;
    bool rewrite_ = false; // the store's content is of no use: replace it whole
    QPointer<MainWindow> main_;
    QPointer<ConfigurationWindow> configuration_;
};

} // namespace veltrano
