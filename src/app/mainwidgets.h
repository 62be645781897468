#pragma once

#include <functional>

#include <QPointer>
#include <QString>

class QButtonGroup;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QPlainTextEdit;
class QWidget;

namespace veltrano {

class ChartView;
class LogoView;
class NavigationBox;
class NumberKeyFilter;
struct ControlStates;

// The main window's controls, laid out as the window design arranges them. Each carries its
// design name as object name, so that tests and tools find it by that name.
struct MainWidgets {
    // "Menu".
    QGroupBox* MenuGroupBox = nullptr;
    QPushButton* Connect = nullptr;
    QPushButton* disconnect = nullptr;
    QPushButton* Buttonreceivedata = nullptr;
    QPushButton* buttonmemo = nullptr;
    QPushButton* dataopenen = nullptr;
    QPushButton* Buttonerase = nullptr;
    QPushButton* Buttontext = nullptr;
    QPushButton* Meetintervaltabelbutton = nullptr;

    NavigationBox* navigatiegroupbox = nullptr; // "Grafiek navigatie"

    QGroupBox* TijdeenheidRadioGroup = nullptr;
    QButtonGroup* tijdeenheidButtons = nullptr; // ids are the positions 0..4

    QGroupBox* filtersgroupbox = nullptr;
    QLineEdit* overspanningedit = nullptr;
    QLineEdit* onderspanningedit = nullptr;
    QLineEdit* tijdfilteredit = nullptr;
    QComboBox* tijdfiltercombobox = nullptr;
    QLineEdit* temperatuurbovengrensedit = nullptr;
    QLineEdit* temperatuurondergrensedit = nullptr;
    QLineEdit* temperatuurtijdfilteredit = nullptr;
    QComboBox* temperatuurtijdcombobox = nullptr;
    QPushButton* Filtersbutton = nullptr;

    QLabel* StatusLabel = nullptr;

    QWidget* chartArea = nullptr;
    ChartView* Chart1 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;     // download
    QProgressBar* EraseProgressBar = nullptr; // erase and interval setting
    QProgressBar* ProgressBar1 = nullptr;     // processing

    QDateTimeEdit* DateTimePicker1 = nullptr; // "Datum aansluiting"
    QDateTimeEdit* DateTimePicker = nullptr;  // "Datum loskoppeling"
    QLabel* memolabel = nullptr;
    QPlainTextEdit* memo1 = nullptr;
    QGroupBox* PrintenGroupBox = nullptr;
    QPushButton* PDF = nullptr;
    QPushButton* Grafiekopslaan = nullptr;
    LogoView* Image3 = nullptr;

    // Builds every control into `window` with the design's start values; the number edits
    // get their key checks from `keys`, and the navigation group shows its messages through
    // `message`.
    void build(QMainWindow* window, NumberKeyFilter* keys,
               std::function<void(const QString&)> message);

    // Enables, disables, shows and hides the controls as the window's state says. The
    // download and processing bars are only shown here while their work runs; the update
    // cycle runs them out once it has finished.
    void apply(const ControlStates& states);

    // The filter edit beside this caption, or nullptr.
    QLineEdit* filterEdit(const QString& caption) const;

private:
    void buildMenu(QWidget* parent);
    void buildTimeUnits(QWidget* parent);
    void buildFilters(QWidget* parent, NumberKeyFilter* keys);
    void buildChartArea(QWidget* parent);
    QWidget* buildRightColumn(QWidget* parent);
    void nameControls();
    void describeControls();
    void orderTabs();
    void keepFocus(QWidget* before);

    QWidget* window_ = nullptr;
    // A control that lost the focus by being disabled, and where Qt put the focus then.
    QPointer<QWidget> focusLost_;
    QPointer<QWidget> focusParked_;
};

} // namespace veltrano
