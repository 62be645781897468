#pragma once

#include <vector>

#include <QString>

namespace veltrano {

struct ReportLine {
    QString text;
    bool red = false;
};

// The reserved lines at the top of the report, by position; event blocks follow them.
enum class FixedLine : int {
    Period,
    AverageVoltage,
    MaxVoltage,
    MinVoltage,
    BlankAfterVoltage,
    AverageTemperature,
    MaxTemperature,
    MinTemperature,
    BlankAfterTemperature,
    VoltageInterval,
    TemperatureInterval,
    BlankAfterIntervals,
    Seconds,
    Minutes,
    Hours,
    Days,
    Weeks,
    EventCount,
    BlankBeforeEvents, // never written
};

inline constexpr int kReservedReportLines = int(FixedLine::BlankBeforeEvents) + 1;

// The event report as lines with a colour each. Appended lines take the current colour,
// which carries over from block to block; the reserved top lines are always normal.
class Report {
public:
    Report() { reset(); }

    void reset() {
        lines_.assign(kReservedReportLines, ReportLine{});
        red_ = false;
    }
    void replace(FixedLine line, const QString& text) { replace(int(line), text); }
    void replace(int line, const QString& text) { lines_[std::size_t(line)] = {text, false}; }
    void append(const QString& text) { lines_.push_back({text, red_}); }
    void setRed(bool red) { red_ = red; }
    bool red() const { return red_; }

    const QString& text(FixedLine line) const { return lines_[std::size_t(line)].text; }
    const std::vector<ReportLine>& lines() const { return lines_; }
    QString plainText() const;

private:
    std::vector<ReportLine> lines_;
    bool red_ = false;
};

} // namespace veltrano
