#include "chart/chartpicture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "chart/chartview.h"
#include "chart/printing.h"
#include "recording/safesave.h"

namespace veltrano {

namespace {

// The chart's place in the window design.
constexpr QSize kDesignSize(921, 599);
// Fine enough that a vector drawing laid out at screen size loses nothing.
constexpr int kPdfResolution = 1200;

} // namespace

std::optional<PictureFormat> pictureFormatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return PictureFormat::Png;
    if (suffix == QLatin1String("svg"))
        return PictureFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return PictureFormat::Pdf;
    return std::nullopt;
}

QString pictureFormatMessage() {
    return QStringLiteral("Een afbeelding van de grafiek wordt opgeslagen als PNG, SVG of "
                          "PDF: kies een naam die eindigt op .png, .svg of .pdf.");
}

QSize pictureSize(const ChartView& chart) {
    const QSize shown = chart.size();
    return chart.isVisible() && !shown.isEmpty() ? shown : kDesignSize;
}

ChartPicture recordChartPicture(ChartView& chart, PictureFormat format) {
    ChartPicture picture;
    picture.format = format;
    picture.size = pictureSize(chart);
    picture.pixelRatio = chart.devicePixelRatioF();
    chart.record(picture.drawing, picture.size);
    return picture;
}

std::optional<QString> writeChartPicture(const ChartPicture& picture, QIODevice& device) {
    const QSize size = picture.size;
    const QString unwritable = QStringLiteral("de afbeelding kan niet worden getekend");
    switch (picture.format) {
    case PictureFormat::Png: {
        QImage image(size * picture.pixelRatio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(picture.pixelRatio);
        {
            QPainter painter(&image);
            painter.drawPicture(0, 0, picture.drawing);
        }
        QImageWriter writer(&device, "png");
        if (!writer.write(image))
            return writer.errorString();
        return std::nullopt;
    }
    case PictureFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&device);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(96);
        svg.setTitle(QStringLiteral("Grafiek"));
        QPainter painter;
        if (!painter.begin(&svg))
            return unwritable;
        painter.drawPicture(0, 0, picture.drawing);
        painter.end();
        return std::nullopt;
    }
    case PictureFormat::Pdf: {
        QPdfWriter pdf(&device);
        pdf.setResolution(kPdfResolution);
        pdf.setTitle(QStringLiteral("Grafiek"));
        pdf.setCreator(QStringLiteral("Veltrano"));
        // A page of the chart's size, a logical pixel being 1/96 inch.
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point,
                                                QString(), QPageSize::ExactMatch),
                                      QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&pdf))
            return unwritable;
        drawChart(painter, {picture.drawing, QPoint(0, 0), kPdfResolution / 96.0});
        painter.end();
        return std::nullopt;
    }
    }
    return unwritable;
}

std::optional<QString> saveChartPicture(ChartView& chart, const QString& path) {
    const auto format = pictureFormatFor(path);
    if (!format)
        return pictureFormatMessage();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (auto error = writeChartPicture(recordChartPicture(chart, *format), buffer))
        return cannotSave(path, *error);
    return saveBytes(path, bytes);
}

} // namespace veltrano
