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
#include <qcustomplot.h>

#include "chart/printing.h"
#include "recording/safesave.h"

namespace veltrano {

namespace {

constexpr int kPdfResolution = 1200;

// The resolution the report box lays its text out at.
QPointF screenDpi() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return {screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY()};
    return {96, 96};
}

} // namespace

void keepFromEdge(QPagedPaintDevice& device) {
    if (device.pageLayout().margins(QPageLayout::Millimeter).isNull())
        device.setPageMargins(QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter);
}

void paintReportPages(const QTextDocument& report, QPainter& painter, QPagedPaintDevice& device) {
    // A copy laid out at the device's resolution; the box keeps its own layout.
    const std::unique_ptr<QTextDocument> doc(report.clone());
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    layout->setPaintDevice(painter.device());

    // Margins in the box's units, which the layout scales to the device.
    const QPointF source = screenDpi();
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

bool paintReportAndChart(const QTextDocument& report, ChartView& chart, QPagedPaintDevice& device) {
    keepFromEdge(device);
    QCPPainter painter;
    if (!painter.begin(&device))
        return false;
    paintReportPages(report, painter, device);
    if (!device.newPage())
        return false;
    paintChartPage(chart, painter, QRect(0, 0, device.width(), device.height()));
    return painter.end();
}

std::optional<QString> saveReportPdf(const QTextDocument& report, ChartView& chart,
                                     const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kPdfResolution);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                      QPageLayout::Millimeter));
        pdf.setTitle(QStringLiteral("rapport"));
        pdf.setCreator(QStringLiteral("Veltrano"));
        if (!paintReportAndChart(report, chart, pdf))
            return cannotSave(path, QStringLiteral("het rapport kan niet worden getekend"));
    }
    return saveBytes(path, bytes);
}

} // namespace veltrano
