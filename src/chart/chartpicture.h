#pragma once

#include <optional>

#include <QPicture>
#include <QSize>
#include <QString>

class QIODevice;

namespace veltrano {

class ChartView;

// What "Grafiek opslaan als afbeelding" writes, chosen by the file name's extension.
enum class PictureFormat { Png, Svg, Pdf };
std::optional<PictureFormat> pictureFormatFor(const QString& path);
// The message for a name with another extension.
QString pictureFormatMessage();

// The picture's size in logical pixels: the chart's size on the screen, or the window
// design's when it has none yet.
QSize pictureSize(const ChartView& chart);

// The chart as it is shown (view, series, measuring lines), with a legend of the shown
// series at its foot, recorded on the UI thread for a picture file written on any thread.
struct ChartPicture {
    PictureFormat format = PictureFormat::Png;
    QSize size;             // logical pixels
    qreal pixelRatio = 1.0; // of the screen, for a PNG
    QPicture drawing;       // laid out at `size`
};
ChartPicture recordChartPicture(ChartView& chart, PictureFormat format);

// The file's bytes: a PNG at the screen's pixel ratio, or an SVG or a one-page PDF of the same
// size as vectors. Returns why it failed.
std::optional<QString> writeChartPicture(const ChartPicture& picture, QIODevice& device);

// Records and writes at once into a file of the format its name asks for, which is replaced
// only when everything was written. Returns the message for the user.
std::optional<QString> saveChartPicture(ChartView& chart, const QString& path);

} // namespace veltrano
