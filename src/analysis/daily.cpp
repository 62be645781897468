#include "analysis/daily.h"

#include "analysis/csvwriter.h"

namespace veltrano {

namespace {

enum Figure { Count, Min, MinTime, Max, MaxTime, Mean, FigureCount };

constexpr int kEventsColumn = int(kDayColumns.size()) - 1;

const DayFigures& figuresOf(const DayRow& day, int column) {
    return column <= FigureCount ? day.voltage : day.temperature;
}

Figure figureOf(int column) {
    return Figure((column - 1) % FigureCount);
}

bool inRange(int column) {
    return column >= 0 && column < int(kDayColumns.size());
}

} // namespace

QString dayCellText(const DayRow& day, int column, char decimal) {
    if (!inRange(column))
        return {};
    if (column == 0)
        return day.date.toString(QStringLiteral("yyyy-MM-dd"));
    if (column == kEventsColumn)
        return QString::number(day.events);
    const DayFigures& f = figuresOf(day, column);
    const Figure figure = figureOf(column);
    if (figure == Count)
        return QString::number(f.count);
    if (f.count == 0)
        return {};
    char buffer[kMaxNumberChars];
    const auto number = [&](auto value) {
        return QString::fromLatin1(buffer, int(putTwoDecimals(buffer, value, decimal) - buffer));
    };
    switch (figure) {
    case Min:
        return number(f.min);
    case Max:
        return number(f.max);
    case Mean:
        return number(f.mean());
    case MinTime:
        return f.minTime.toString(QStringLiteral("HH:mm:ss"));
    case MaxTime:
        return f.maxTime.toString(QStringLiteral("HH:mm:ss"));
    case Count:
    case FigureCount:
        break;
    }
    return {};
}

double dayCellValue(const DayRow& day, int column) {
    if (!inRange(column))
        return 0;
    if (column == 0)
        return double(day.date.toJulianDay());
    if (column == kEventsColumn)
        return double(day.events);
    const DayFigures& f = figuresOf(day, column);
    const Figure figure = figureOf(column);
    if (figure == Count)
        return double(f.count);
    if (f.count == 0)
        return -1e300;
    switch (figure) {
    case Min:
        return f.min;
    case Max:
        return f.max;
    case Mean:
        return f.mean();
    case MinTime:
        return f.minTime.msecsSinceStartOfDay() / 1000.0;
    case MaxTime:
        return f.maxTime.msecsSinceStartOfDay() / 1000.0;
    case Count:
    case FigureCount:
        break;
    }
    return 0;
}

} // namespace veltrano
