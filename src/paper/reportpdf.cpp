#include "paper/reportpdf.h"

#include <memory>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QScreen>
#include <QTextDocument>
#include <QTextFrame>

#include "chart/printing.h"
#include "recording/safesave.h"

namespace veltrano {

QPointF screenDpi() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return {screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY()};
    return {96, 96};
}

void paintReportPages(const QTextDocument& report, QPointF reportDpi, QPainter& painter,
                      QPagedPaintDevice& device) {
    // A copy laid out at the device's resolution; the box keeps its own layout.
    const std::unique_ptr<QTextDocument> doc(report.clone());
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    layout->setPaintDevice(painter.device());

    // Margins in the report's units, which the layout scales to the device.
    const QPointF source = reportDpi;
    const qreal scaleX = device.logicalDpiX() / source.x();
    const qreal scaleY = device.logicalDpiY() / source.y();
    const int marginX = int(2 / 2.54 * source.x());
    const int marginY = int(2 / 2.54 * source.y());
    QTextFrameFormat frame = doc->rootFrame()->frameFormat();
    frame.setLeftMargin(marginX);
    frame.setRightMargin(marginX);
    frame.setTopMargin(marginY);
    frame.setBottomMargin(marginY);
    doc->rootFrame()->setFrameFormat(frame);

    const QRectF body(0, 0, device.width(), device.height());
    doc->setPageSize(body.size());
    const QPointF numberAt(body.width() - marginX * scaleX,
                           body.height() - marginY * scaleY +
                               QFontMetrics(doc->defaultFont(), painter.device()).ascent() +
                               5 * device.logicalDpiY() / 72.0);

    const int pages = doc->pageCount();
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            device.newPage();
        painter.save();
        const QRectF view(0, (page - 1) * body.height(), body.width(), body.height());
        painter.translate(body.left(), body.top() - view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        // Paper is white whatever the desktop's colours.
        context.palette.setColor(QPalette::Text, Qt::black);
        layout->draw(&painter, context);

        painter.setClipping(false);
        painter.setFont(doc->defaultFont());
        const QString number = QString::number(page);
        painter.drawText(qRound(numberAt.x() - painter.fontMetrics().horizontalAdvance(number)),
                         qRound(numberAt.y() + view.top()), number);
        painter.restore();
    }
}

QPageLayout reportPdfLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(2, 2, 2, 2),
                       QPageLayout::Millimeter);
}

ChartDrawing recordReportChartPage(ChartView& chart) {
    const QRect page = reportPdfLayout().paintRectPixels(kReportPdfResolution);
    return recordChartPage(chart, QRect(QPoint(0, 0), page.size()), kReportPdfResolution);
}

std::optional<QString> writeReportPdf(const QTextDocument& report, QPointF reportDpi,
                                      const ChartDrawing& chartPage, QIODevice& device) {
    QPdfWriter pdf(&device);
    pdf.setResolution(kReportPdfResolution);
    pdf.setPageLayout(reportPdfLayout());
    pdf.setTitle(QStringLiteral("rapport"));
    pdf.setCreator(QStringLiteral("Veltrano"));
    QPainter painter;
    if (!painter.begin(&pdf))
        return QStringLiteral("het rapport kan niet worden getekend");
    paintReportPages(report, reportDpi, painter, pdf);
    if (!pdf.newPage())
        return QStringLiteral("het rapport kan niet worden getekend");
    drawChart(painter, chartPage);
    if (!painter.end())
        return QStringLiteral("het rapport kan niet worden getekend");
    return std::nullopt;
}

std::optional<QString> saveReportPdf(const QTextDocument& report, ChartView& chart,
                                     const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (auto error = writeReportPdf(report, screenDpi(), recordReportChartPage(chart), buffer))
        return cannotSave(path, *error);
    return saveBytes(path, bytes);
}

} // namespace veltrano
