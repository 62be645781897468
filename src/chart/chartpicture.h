#pragma once

#include <optional>

#include <QSize>
#include <QString>

class QIODevice;

namespace veltrano {

class ChartView;

// What "Grafiek opslaan als afbeelding" writes, chosen by the file name's extension.
enum class PictureFormat { Png, Svg, Pdf };
std::optional<PictureFormat> pictureFormatFor(const QString& path);

// The picture's size in logical pixels: the chart's size on the screen, or the window
// design's when it has none yet.
QSize pictureSize(const ChartView& chart);

// Draws the chart as it is shown (view, series, measuring lines), with a legend of the shown
// series at its foot: a PNG at the screen's pixel ratio, or an SVG or a one-page PDF of the
// same size as vectors. Returns why it failed.
std::optional<QString> writeChartPicture(ChartView& chart, PictureFormat format, QIODevice& device);

// The same into a file of the format its name asks for, which is replaced only when
// everything was written: after a failure an old file stays as it was. Returns the message
// for the user.
std::optional<QString> saveChartPicture(ChartView& chart, const QString& path);

} // namespace veltrano
