#include "paper/reportpdf.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "analysis/csvwriter.h"
#include "analysis/daily.h"
#include "analysis/filterfields.h"
#include "analysis/processing.h"
#include "chart/bandchart.h"
#include "paper/reportview.h"
#include "recording/safesave.h"
#include "recording/timeunits.h"

namespace veltrano {

namespace {

// The laid-out size of a band chart with its figures, in screen pixels.
constexpr QSize kBandDrawingSize(760, 330);

// Page geometry at the PDF's resolution: the header above the body, the footer below it.
struct PageGeometry {
    QRectF page;
    QRectF header;
    QRectF body;
    QRectF footer;
};

PageGeometry pageGeometry() {
    const QRect paint = reportPdfLayout().paintRectPixels(kReportPdfResolution);
    const double mm = kReportPdfResolution / 25.4;
    PageGeometry g;
    g.page = QRectF(0, 0, paint.width(), paint.height());
    const double left = 18 * mm, right = g.page.width() - 18 * mm;
    g.header = QRectF(QPointF(left, 8 * mm), QPointF(right, 22 * mm));
    g.body = QRectF(QPointF(left, 26 * mm), QPointF(right, g.page.height() - 22 * mm));
    g.footer =
        QRectF(QPointF(left, g.page.height() - 18 * mm), QPointF(right, g.page.height() - 8 * mm));
    return g;
}

QString unitText(FilterField field) {
    const bool voltage = field == FilterField::OverVoltage || field == FilterField::UnderVoltage;
    return voltage ? QStringLiteral(" V") : QStringLiteral(" \u00B0C");
}

QString plural(const auto& units, int index) {
    const int i = std::clamp(index, 0, int(units.size()) - 1);
    return QString::fromUtf8(units[std::size_t(i)].plural);
}

void addLine(QTextCursor& cursor, const QString& text, const QTextCharFormat& format, bool first) {
    if (!first)
        cursor.insertBlock();
    cursor.setBlockCharFormat(format);
    cursor.insertText(text, format);
}

// The report's lines from `begin` to `end` in their colours.
std::unique_ptr<QTextDocument> linesDocument(const ProcessingResult& run, const ReportStyle& style,
                                             std::size_t begin, std::size_t end,
                                             const std::function<bool()>& cancelled) {
    QTextCharFormat normal;
    normal.setForeground(Qt::black);
    QTextCharFormat red;
    red.setForeground(kReportRed);
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(style.font);
    QTextOption option = style.textOption;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc->setDefaultTextOption(option);
    doc->setDocumentMargin(0);
    QTextCursor cursor(doc.get());
    cursor.beginEditBlock();
    const auto& lines = run.report.lines();
    end = std::min(end, lines.size());
    for (std::size_t i = begin; i < end; ++i) {
        if (cancelled && (i - begin) % 4096 == 4095 && cancelled())
            return nullptr;
        addLine(cursor, lines[i].text, lines[i].red ? red : normal, i == begin);
    }
    cursor.endEditBlock();
    return doc;
}

// The run's days as two tables, one per quantity, under the summary.
void addDayTables(QTextDocument& doc, const ProcessingResult& run) {
    if (run.days.empty())
        return;
    const char decimal = CsvStyle::of(run.settings.locale).decimal;
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    // A size smaller than the report's, for fourteen figures a day.
    QTextCharFormat plain;
    plain.setFontPointSize(doc.defaultFont().pointSizeF() * 7 / 8);
    QTextCharFormat cellHeading = plain;
    cellHeading.setFontWeight(QFont::Bold);
    const std::array<std::vector<int>, 2> tables{
        {{0, 1, 2, 3, 4, 5, 6, 13}, {0, 7, 8, 9, 10, 11, 12}}};
    // Shares of the width, so that the long headings keep their words whole.
    const std::array<std::vector<double>, 2> widths{
        {{11, 15, 11, 13, 11, 13, 13, 13}, {12, 18, 13, 14, 13, 14, 16}}};
    const std::array<QString, 2> titles{QStringLiteral("Spanning per dag"),
                                        QStringLiteral("Temperatuur per dag")};
    QTextTableFormat format;
    format.setBorder(0.5);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setHeaderRowCount(1);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    for (std::size_t t = 0; t < tables.size(); ++t) {
        cursor.insertBlock();
        cursor.insertBlock(QTextBlockFormat(), heading);
        cursor.insertText(titles[t], heading);
        const std::vector<int>& columns = tables[t];
        QList<QTextLength> columnWidths;
        for (double share : widths[t])
            columnWidths << QTextLength(QTextLength::PercentageLength, share);
        format.setColumnWidthConstraints(columnWidths);
        QTextTable* table =
            cursor.insertTable(int(run.days.size()) + 1, int(columns.size()), format);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            QTextCursor cell = table->cellAt(0, int(c)).firstCursorPosition();
            cell.insertText(QString::fromUtf8(kDayColumns[std::size_t(columns[c])]), cellHeading);
        }
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight);
        for (std::size_t r = 0; r < run.days.size(); ++r) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                QTextCursor cell = table->cellAt(int(r) + 1, int(c)).firstCursorPosition();
                if (c > 0)
                    cell.setBlockFormat(right);
                cell.insertText(dayCellText(run.days[r], columns[c], decimal), plain);
            }
        }
        cursor.movePosition(QTextCursor::End);
    }
}

// Lays `doc` out on pages of the body's size at the device's resolution.
void layOut(QTextDocument& doc, QPaintDevice& device, const QRectF& body) {
    doc.documentLayout()->setPaintDevice(&device);
    doc.setPageSize(body.size());
}

void drawTextPage(QPainter& painter, QTextDocument& doc, const QRectF& body, int page) {
    painter.save();
    const QRectF view(0, page * body.height(), body.width(), body.height());
    painter.translate(body.left(), body.top() - view.top());
    painter.setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    context.palette.setColor(QPalette::Text, Qt::black);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
}

// A band chart's drawing, kept in proportion, at the top of `area`.
void drawBands(QPainter& painter, const QPicture& picture, const QRectF& area) {
    const double scale = std::min(area.width() / kBandDrawingSize.width(),
                                  area.height() / kBandDrawingSize.height());
    drawChart(painter, {picture, area.topLeft().toPoint(), scale});
}

void drawFrame(QPainter& painter, const QFont& font, const PageGeometry& g,
               const ReportPdfFrame& frame, int page, int pages) {
    painter.save();
    painter.setPen(QPen(Qt::black, kReportPdfResolution / 150.0));
    QFont bold = font;
    bold.setBold(true);
    const double line = QFontMetricsF(font, painter.device()).height();
    painter.setFont(bold);
    painter.drawText(QRectF(g.header.left(), g.header.top(), g.header.width(), line),
                     Qt::AlignLeft | Qt::AlignVCenter, frame.source);
    painter.setFont(font);
    painter.drawText(QRectF(g.header.left(), g.header.top() + line, g.header.width(), line),
                     Qt::AlignLeft | Qt::AlignVCenter, frame.limits);
    painter.drawText(QRectF(g.header.left(), g.header.top() + 2 * line, g.header.width(), line),
                     Qt::AlignLeft | Qt::AlignVCenter, frame.filters);
    painter.drawLine(g.header.bottomLeft(), g.header.bottomRight());
    painter.drawLine(g.footer.topLeft(), g.footer.topRight());
    const QRectF text(g.footer.left(), g.footer.top() + line / 2, g.footer.width(), line);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, frame.made);
    painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("pagina %1 van %2").arg(page).arg(pages));
    painter.restore();
}

} // namespace

QString imageSourceOfFile(const QString& path) {
    return QFileInfo(path).fileName();
}

QString imageSourceOfDownload(const QDateTime& ended) {
    return QStringLiteral("Download ") + ended.toString(QStringLiteral("dd-MM-yyyy HH:mm:ss"));
}

QPageLayout reportPdfLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(2, 2, 2, 2),
                       QPageLayout::Millimeter);
}

ReportPdfFrame reportPdfFrame(const ProcessingSettings& settings, const QDateTime& made) {
    ReportPdfFrame frame;
    frame.source =
        QStringLiteral("Bron: ") +
        (settings.imageSource.isEmpty() ? QStringLiteral("onbekend") : settings.imageSource);
    QStringList limits;
    for (FilterField field : kLimitFields)
        limits << QString::fromUtf8(filterField(field).caption) + QLatin1Char(' ') +
                      settings.filterText(field).trimmed() + unitText(field);
    frame.limits = limits.join(QStringLiteral("   "));
    const auto filter = [&](FilterField field, int unit) {
        return QString::fromUtf8(filterField(field).caption) + QLatin1Char(' ') +
               settings.filterText(field).trimmed() + QLatin1Char(' ') + plural(kFilterUnits, unit);
    };
    frame.filters =
        QStringList{filter(FilterField::VoltageTimeFilter, settings.voltageTimeFilterUnit),
                    filter(FilterField::TemperatureTimeFilter, settings.temperatureTimeFilterUnit),
                    QStringLiteral("Tijdeenheid ") + plural(kTimeUnits, settings.timeUnit)}
            .join(QStringLiteral("   "));
    frame.made = QStringLiteral("Gemaakt op ") + made.toString(QStringLiteral("dd-MM-yyyy HH:mm"));
    return frame;
}

ReportPdfDrawings recordReportPdfDrawings(ChartView& chart, const ProcessingResult& run) {
    ReportPdfDrawings drawings;
    const PageGeometry g = pageGeometry();
    const QRectF chartArea(g.body.left(), g.body.top(), g.body.width(), g.body.height() * 0.6);
    drawings.chartPage = recordChart(chart, chartArea.toRect(), kReportPdfResolution);
    const Limits& l = run.limits;
    const auto record = [](QPicture& picture, BandChart::Quantity quantity, const BandTable& bands,
                           long double lower, long double upper) {
        BandChart bandChart(quantity);
        bandChart.resize(kBandDrawingSize);
        bandChart.show(bands, double(lower), double(upper));
        bandChart.record(picture, kBandDrawingSize);
    };
    record(drawings.voltageBands, BandChart::Voltage, run.voltageBands, l.underVoltage,
           l.overVoltage);
    record(drawings.temperatureBands, BandChart::Temperature, run.temperatureBands,
           l.underTemperature, l.overTemperature);
    return drawings;
}

std::optional<ReportPdfText> reportPdfText(const ProcessingResult& run, const ReportStyle& style,
                                           const std::function<bool()>& cancelled) {
    ReportPdfText text;
    text.summary = linesDocument(run, style, 0, kReservedReportLines, cancelled);
    if (!text.summary)
        return std::nullopt;
    addDayTables(*text.summary, run);
    if (run.report.lines().size() > std::size_t(kReservedReportLines)) {
        text.events =
            linesDocument(run, style, kReservedReportLines, run.report.lines().size(), cancelled);
        if (!text.events)
            return std::nullopt;
    }
    return text;
}

std::optional<QString> writeReportPdf(const ReportPdfText& text, const ReportPdfDrawings& drawings,
                                      const ReportPdfFrame& frame, QIODevice& device) {
    QPdfWriter pdf(&device);
    pdf.setResolution(kReportPdfResolution);
    pdf.setPageLayout(reportPdfLayout());
    pdf.setTitle(QStringLiteral("rapport"));
    pdf.setCreator(QStringLiteral("Veltrano"));
    const PageGeometry g = pageGeometry();
    layOut(*text.summary, pdf, g.body);
    if (text.events)
        layOut(*text.events, pdf, g.body);
    const int summaryPages = text.summary->pageCount();
    const int eventPages = text.events ? text.events->pageCount() : 0;
    const int pages = summaryPages + 1 + eventPages + 1;

    QPainter painter;
    if (!painter.begin(&pdf))
        return QStringLiteral("het rapport kan niet worden getekend");
    int page = 0;
    const auto nextPage = [&] {
        if (page > 0 && !pdf.newPage())
            return false;
        ++page;
        drawFrame(painter, text.summary->defaultFont(), g, frame, page, pages);
        return true;
    };
    bool drawn = true;
    for (int i = 0; drawn && i < summaryPages; ++i)
        if ((drawn = nextPage()))
            drawTextPage(painter, *text.summary, g.body, i);
    if (drawn && (drawn = nextPage())) {
        QFont bold = text.summary->defaultFont();
        bold.setBold(true);
        painter.setFont(bold);
        const double line = QFontMetricsF(bold, &pdf).height();
        painter.drawText(QRectF(g.body.left(), g.body.top(), g.body.width(), line),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Verdeling"));
        const double half = (g.body.height() - 2 * line) / 2;
        drawBands(painter, drawings.voltageBands,
                  QRectF(g.body.left(), g.body.top() + 2 * line, g.body.width(), half));
        drawBands(painter, drawings.temperatureBands,
                  QRectF(g.body.left(), g.body.top() + 2 * line + half, g.body.width(), half));
    }
    for (int i = 0; drawn && i < eventPages; ++i)
        if ((drawn = nextPage()))
            drawTextPage(painter, *text.events, g.body, i);
    if (drawn && (drawn = nextPage()))
        drawChart(painter, drawings.chartPage);
    if (!painter.end() || !drawn)
        return QStringLiteral("het rapport kan niet worden getekend");
    return std::nullopt;
}

std::optional<QString> saveReportPdf(const ProcessingResult& run, const ReportStyle& style,
                                     ChartView& chart, const QString& path) {
    const std::optional<ReportPdfText> text = reportPdfText(run, style);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const ReportPdfFrame frame = reportPdfFrame(run.settings, QDateTime::currentDateTime());
    if (auto error = writeReportPdf(*text, recordReportPdfDrawings(chart, run), frame, buffer))
        return cannotSave(path, *error);
    return saveBytes(path, bytes);
}

} // namespace veltrano
