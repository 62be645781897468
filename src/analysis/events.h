#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <QLocale>
#include <QString>

#include "analysis/report.h"
#include "recording/memoryimage.h"

namespace veltrano {

enum class EventKind { OverVoltage, UnderVoltage, OverTemperature, UnderTemperature };
const char* eventKindWord(EventKind kind);

// Limits and time filters of one run, as read from the filter inputs.
struct Limits {
    long double overVoltage = 0;
    long double underVoltage = 0;
    long double overTemperature = 0;
    long double underTemperature = 0;
    long double voltageTimeFilter = 0;     // in the unit below
    long double temperatureTimeFilter = 0; // in the unit below
    int voltageFilterUnitSeconds = 60;     // seconds per filter unit
    int temperatureFilterUnitSeconds = 60;
};

// `eventList`: row 0 starts, row 1 ends, entry n for event n, in the run's time unit.
struct EventList {
    static constexpr int kCapacity = 10'000; // entries 1..9,999 hold events
    CBuffer<long double> start;
    CBuffer<long double> end;
    CBuffer<std::uint8_t> kind; // EventKind of entry n

    EventList() { recreate(); }
    void recreate();
    bool isEmpty(int n) const { return start[n] == 0 && end[n] == 0; }
};

// Values gathered for the other quantity while an event is in progress.
struct CrossGroup {
    double sum = 0;
    std::int32_t count = 0;
    double max = 0;
    double min = 200;
};

struct KindState {
    bool active = false;
    std::int32_t counter = 0;
    double sum = 0;
    double duration = 0; // set when the event closes
    double average = 0;  // set when the event closes
    double interval = 0; // in force at the last outside sample
    double moment = 0;
    double extreme = 0;
    std::int32_t ordinal = 0;
};

struct ClosedEvent {
    EventKind kind;
    std::int32_t number;
    std::int32_t ordinal;
    double moment; // seconds
    double duration;
    double average;
    double extreme;
    CrossGroup cross;
};

// Where an event lies in the run's time unit, as the event list holds it.
inline long double startInUnit(const ClosedEvent& e, int secondsPerUnit) {
    return static_cast<long double>(e.moment) / secondsPerUnit;
}
inline long double endInUnit(const ClosedEvent& e, int secondsPerUnit) {
    return (static_cast<long double>(e.moment) + e.duration) / secondsPerUnit;
}

// An event's duration as its report block gives it: "2 dagen 3 uren 4 minuten 5 seconden ".
QString durationText(double seconds);

// Writes the block of every reported event into the report, with its colours.
class EventBlockWriter {
public:
    EventBlockWriter(Report& report, const Limits& limits, const QLocale& locale,
                     int secondsPerUnit, const QString& unitWord)
        : report_(report), limits_(limits), locale_(locale), secondsPerUnit_(secondsPerUnit),
          unitWord_(unitWord) {}
    void write(const ClosedEvent& e);
    // Events are still numbered and kept by the detector, but get no text in the report.
    void leaveOutBlocks() { blocks_ = false; }

private:
    bool blocks_ = true;
    Report& report_;
    const Limits& limits_;
    QLocale locale_;
    int secondsPerUnit_;
    QString unitWord_;
};

// The largest float not above x and the smallest float not below x. For a float v and an
// extended limit L: v > L exactly when v > floorFloat(L), v < L when v < ceilFloat(L).
float floorFloat(long double x);
float ceilFloat(long double x);

// The four event kinds with their time filters, numbering and the event list. Every reported
// event is also kept in `reported`, beyond the list's 9,999 entries too.
class EventDetector {
public:
    EventDetector(const Limits& limits, int secondsPerUnit, EventList& list,
                  EventBlockWriter& writer, std::vector<ClosedEvent>& reported)
        : limits_(limits), secondsPerUnit_(secondsPerUnit), list_(list), writer_(writer),
          reported_(reported), overV_above_(floorFloat(limits.overVoltage)),
          overV_below_(ceilFloat(limits.overVoltage)),
          underV_above_(floorFloat(limits.underVoltage)),
          underV_below_(ceilFloat(limits.underVoltage)),
          overT_above_(floorFloat(limits.overTemperature)),
          overT_below_(ceilFloat(limits.overTemperature)),
          underT_above_(floorFloat(limits.underTemperature)),
          underT_below_(ceilFloat(limits.underTemperature)), dipFloor_(ceilFloat(3.3L)) {
        resetOver(overV_);
        resetUnder(underV_);
        resetOver(overT_);
        resetUnder(underT_);
    }

    // Steps before an accepted voltage is stored: end check, over and under.
    void voltageEvent(float v, double clock, double interval) {
        if ((v < overV_below_ && overV_.active) || (v > underV_above_ && underV_.active)) {
            if (overV_.active)
                close(EventKind::OverVoltage);
            if (underV_.active)
                close(EventKind::UnderVoltage);
        }
        if (v > overV_above_) {
            if (v > overV_.extreme)
                overV_.extreme = v;
            count(overV_, v, clock, interval);
        }
        if (v < underV_below_) {
            if (v < underV_.extreme && v >= dipFloor_)
                underV_.extreme = v;
            count(underV_, v, clock, interval);
        }
    }

    // After the voltage is stored: it joins a temperature event in progress.
    void voltageGather(float v) {
        if (overT_.active)
            gather(voltagesDuringTemperature_, v, false);
        if (underT_.active)
            gather(voltagesDuringTemperature_, v, false);
    }

    // A temperature that passed the range gate.
    void temperatureEvent(float t, double clock, double interval) {
        if ((t < overT_below_ && overT_.active) || (t > underT_above_ && underT_.active)) {
            if (overT_.active)
                close(EventKind::OverTemperature);
            if (underT_.active)
                close(EventKind::UnderTemperature);
        }
        if (t > overT_above_) {
            if (!overT_.active || t > overT_.extreme)
                overT_.extreme = t;
            count(overT_, t, clock, interval);
        }
        if (t < underT_below_) {
            if (t < underT_.extreme)
                underT_.extreme = t;
            count(underT_, t, clock, interval);
        }
        if (overV_.active)
            gather(temperaturesDuringVoltage_, t, true);
        if (underV_.active)
            gather(temperaturesDuringVoltage_, t, true);
    }

    // End of a recording: close what is in progress, in the fixed order.
    void closeAll();

    std::int32_t eventCount() const { return eventCount_; }

private:
    static void resetOver(KindState& s) { s = KindState{.ordinal = s.ordinal}; }
    static void resetUnder(KindState& s) { s = KindState{.extreme = 200, .ordinal = s.ordinal}; }

    static void count(KindState& s, float value, double clock, double interval) {
        ++s.counter;
        s.sum += value;
        if (!s.active) {
            s.active = true;
            s.moment = clock;
        }
        // Duration and average follow from these when the event closes: the duration is
        // counter times the interval in force at the last outside sample.
        s.interval = interval;
    }
    static void gather(CrossGroup& g, float value, bool firstReplacesMax) {
        g.sum += value;
        ++g.count;
        if ((firstReplacesMax && g.count == 1) || value > g.max)
            g.max = value;
        if (value < g.min)
            g.min = value;
    }

    void close(EventKind kind);

    const Limits& limits_;
    int secondsPerUnit_;
    EventList& list_;
    EventBlockWriter& writer_;
    std::vector<ClosedEvent>& reported_;
    // Float forms of the extended limits, so that each sample needs float compares only.
    float overV_above_, overV_below_, underV_above_, underV_below_;
    float overT_above_, overT_below_, underT_above_, underT_below_;
    float dipFloor_; // v >= 3.3 exactly when v >= dipFloor_
    KindState overV_, underV_, overT_, underT_;
    CrossGroup temperaturesDuringVoltage_;
    CrossGroup voltagesDuringTemperature_;
    std::int32_t eventCount_ = 0;
};

} // namespace veltrano
