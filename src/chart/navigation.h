#pragma once

#include <functional>
#include <optional>
#include <span>

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;

namespace veltrano {

class ChartView;

// Where the navigation stands: whether paging back and on is offered, and the event shown
// last. The buttons' enabled states follow from it in navigationButtons().
struct NavigationState {
    bool pageBack = false; // "Vorige <unit>"
    bool pageOn = false;   // "Volgende <unit>"
    // The event last shown by number; none before the first and at the start of a run.
    std::optional<long long> event;
};

struct NavigationButtons {
    bool previousPage = false;
    bool nextPage = false;
    bool previousEvent = false;
    bool nextEvent = false;
    bool operator==(const NavigationButtons&) const = default;
};

// `isEvent(n)`: entry n of the event list holds an event.
NavigationButtons navigationButtons(const NavigationState& state,
                                    const std::function<bool(long long)>& isEvent);

// The "Grafiek navigatie" group: paging, go-to, full view and event navigation, all acting
// on the chart's axis model.
class NavigationBox : public QGroupBox {
    Q_OBJECT
public:
    using MessageFn = std::function<void(const QString&)>;

    // message shows a plain message box; the window passes its own seam.
    NavigationBox(ChartView* chart, MessageFn message, QWidget* parent = nullptr);

    // Captions of the three paging buttons for the unit at this position of "Tijdeenheid".
    void setUnit(int index);
    // The event list: entry n of both rows is event n; 0 and 0 is an empty entry. The rows
    // stay the caller's. Entries outside the rows count as empty.
    void setEventList(std::span<const long double> starts, std::span<const long double> ends);
    // At the start of every processing run: no event is shown any more.
    void forgetShownEvent();
    // The number of the event last shown; kept across processing runs.
    long long eventNumber() const { return eventNumber_; }
    const NavigationState& state() const { return state_; }
    // The buttons follow the state.
    void setState(const NavigationState& state);

    // The edits, for the window's key checks.
    QLineEdit* fromEdit() const { return fromEdit_; }
    QLineEdit* toEdit() const { return toEdit_; }
    QLineEdit* eventNumberEdit() const { return eventNumberEdit_; }
    // The group's controls that take the focus, row by row as they stand.
    QList<QWidget*> readingOrder() const;

public slots:
    void showFirstPage();
    void showPreviousPage();
    void showNextPage();
    void showFullView();
    // "Ga naar": the range of "Vanaf" and "Tot".
    void goToRange();
    // "Ga naar Calamiteit": the event whose number the edit holds.
    void goToEvent();
    void showPreviousEvent();
    void showNextEvent();
    // Event n, chosen elsewhere (the event table), from start to end in the chart's unit:
    // shown as "Ga naar Calamiteit" shows it, without a message. An event beyond the event
    // list has no neighbours to step to.
    void showChosenEvent(long long n, long double start, long double end);

private:
    void chartPanned();
    void restoreFullView();
    bool isEvent(long long n) const;
    void showEvent(long long n);
    void showEventRange(long double start, long double end);

    ChartView* chart_;
    MessageFn message_;
    std::span<const long double> starts_;
    std::span<const long double> ends_;
    NavigationState state_;
    long long eventNumber_ = 0;

    QPushButton* firstPageButton_ = nullptr;
    QPushButton* previousPageButton_ = nullptr;
    QPushButton* nextPageButton_ = nullptr;
    QPushButton* fullViewButton_ = nullptr;
    QPushButton* goToButton_ = nullptr;
    QLabel* fromLabel_ = nullptr;
    QLabel* toLabel_ = nullptr;
    QLineEdit* fromEdit_ = nullptr;
    QLineEdit* toEdit_ = nullptr;
    QLineEdit* eventNumberEdit_ = nullptr;
    QPushButton* goToEventButton_ = nullptr;
    QPushButton* previousEventButton_ = nullptr;
    QPushButton* nextEventButton_ = nullptr;
};

} // namespace veltrano
