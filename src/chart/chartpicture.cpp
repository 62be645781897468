#include "chart/chartpicture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <qcustomplot.h>

#include "chart/chartview.h"
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

QSize pictureSize(const ChartView& chart) {
    const QSize shown = chart.size();
    return chart.isVisible() && !shown.isEmpty() ? shown : kDesignSize;
}

std::optional<QString> writeChartPicture(ChartView& chart, PictureFormat format,
                                         QIODevice& device) {
    const QSize size = pictureSize(chart);
    const QString unwritable = QStringLiteral("de afbeelding kan niet worden getekend");
    switch (format) {
    case PictureFormat::Png: {
        const qreal ratio = chart.devicePixelRatioF();
        QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        {
            QCPPainter painter(&image);
            // Drawn afresh: the screen's cached pixmaps stay the screen's.
            painter.setMode(QCPPainter::pmNoCaching);
            chart.paintOn(painter, QRect(QPoint(0, 0), size));
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
        QCPPainter painter;
        if (!painter.begin(&svg))
            return unwritable;
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        chart.paintOn(painter, QRect(QPoint(0, 0), size));
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
        QCPPainter painter;
        if (!painter.begin(&pdf))
            return unwritable;
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        chart.paintOn(painter, QRect(0, 0, pdf.width(), pdf.height()));
        painter.end();
        return std::nullopt;
    }
    }
    return unwritable;
}

std::optional<QString> saveChartPicture(ChartView& chart, const QString& path) {
    const auto format = pictureFormatFor(path);
    if (!format)
        return QStringLiteral("Een afbeelding van de grafiek wordt opgeslagen als PNG, SVG of "
                              "PDF: kies een naam die eindigt op .png, .svg of .pdf.");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (auto error = writeChartPicture(chart, *format, buffer))
        return cannotSave(path, *error);
    return saveBytes(path, bytes);
}

} // namespace veltrano
