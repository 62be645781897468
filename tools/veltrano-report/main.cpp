// veltrano-report: processes image files the way the viewer does and prints the report, a CSV
// export, or a summary over many images, or writes the report and the chart as a PDF.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QStringList>

#include "analysis/exports.h"
#include "analysis/processing.h"
#include "dutchtexts.h"
#include "options.h"
#include "paper/reportpdf.h"
#include "paper/runreport.h"
#include "recording/durationtable.h"
#include "summaryrun.h"

using namespace veltrano;
using namespace veltrano::report;

namespace {

// The program object for --pdf: one with widgets, on the offscreen platform unless
// QT_QPA_PLATFORM names another, so that no display is needed.
std::unique_ptr<QCoreApplication> makePdfApplication(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

int fail(const QString& message, int code) {
    std::fprintf(stderr, "veltrano-report: %s\n", message.toLocal8Bit().constData());
    return code;
}

int writeStdout(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0
               ? 0
               : fail(QStringLiteral("schrijven naar de standaarduitvoer is mislukt"), 1);
}

QString jsonString(const QString& s) {
    // The characters with a short escape of their own; other control characters by their code.
    static constexpr std::pair<char16_t, const char*> kEscapes[] = {
        {u'"', "\\\""}, {u'\\', "\\\\"}, {u'\t', "\\t"}, {u'\n', "\\n"}, {u'\r', "\\r"}};
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                         [c](const auto& e) { return e.first == c.unicode(); });
        if (escape != std::end(kEscapes))
            out += QLatin1String(escape->second);
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

// Nearest double, shortest form that reads back the same; integral values keep ".0".
QString jsonNumber(long double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, double(value));
    QString s = QString::fromLatin1(buf, int(res.ptr - buf));
    if (!s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('e')))
        s += QStringLiteral(".0");
    return s;
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::unique_ptr<QCoreApplication> program =
        asksForPdf(arguments) ? makePdfApplication(argc, argv)
                              : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *program;
    installDutchTexts(app);
    const QLocale locale = QLocale::system();
    QLocale::setDefault(locale);

    const ParsedOptions parsed = parseOptions(app.arguments().mid(1), locale);
    if (!parsed.options)
        return fail(parsed.error + QStringLiteral("\nZie veltrano-report --help."), 2);
    const Options& o = *parsed.options;
    switch (o.mode) {
    case Mode::Help:
        return writeStdout(o.helpText);
    case Mode::DurationTable:
        return writeStdout(durationTableText(o.tableUnit, locale));
    case Mode::Summary: {
        QFile out;
        out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
        const SummaryOutcome outcome = runSummary(o.images, o.settings, o.jobs, out);
        if (outcome.writeError)
            return fail(QStringLiteral("schrijven naar de standaarduitvoer is mislukt: %1")
                            .arg(*outcome.writeError),
                        1);
        return outcome.failedImages == 0 ? 0 : 1;
    }
    case Mode::Report:
    case Mode::Export:
    case Mode::Pdf:
        break;
    }

    ProcessingSettings settings = o.settings;
    settings.imageSource = imageSourceOfFile(o.images.first());
    MemoryImage image;
    if (auto error = image.load(o.images.first()))
        return fail(*error, 1);

    DecoderState state;
    ProcessingResult result;
    if (auto error = processImage(image.data(), settings, state, result))
        return fail(error->message, 2);

    if (o.mode == Mode::Pdf) {
        if (auto error = writeRunReportPdf(result, o.pdfPath))
            return fail(*error, 1);
        return 0;
    }
    if (o.mode == Mode::Export) {
        QFile out;
        out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
        if (auto error = writeCsv(o.exportKind, result, settings, out))
            return fail(*error, 1);
        return 0;
    }

    QString out;
    if (o.format == QStringLiteral("text")) {
        out = result.report.plainText();
    } else {
        out = QStringLiteral("{\"report\": [");
        const auto& lines = result.report.lines();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i)
                out += QStringLiteral(", ");
            out += QStringLiteral("{\"text\": ") + jsonString(lines[i].text) +
                   QStringLiteral(", \"red\": ") +
                   (lines[i].red ? QStringLiteral("true") : QStringLiteral("false")) +
                   QLatin1Char('}');
        }
        out += QStringLiteral("], \"events\": [");
        const int listed = std::min(result.eventCount, EventList::kCapacity - 1);
        for (int n = 1; n <= listed; ++n) {
            if (n > 1)
                out += QStringLiteral(", ");
            out += QStringLiteral("{\"number\": %1, \"kind\": \"%2\", \"start\": %3, \"end\": %4}")
                       .arg(n)
                       .arg(QString::fromLatin1(eventKindWord(EventKind(result.eventList.kind[n]))))
                       .arg(jsonNumber(result.eventList.start[n]))
                       .arg(jsonNumber(result.eventList.end[n]));
        }
        out += QStringLiteral("], \"voltage_samples\": %1, \"temperature_samples\": %2, "
                              "\"messages\": [")
                   .arg(result.samples.voltageSampleCount)
                   .arg(result.samples.temperatureSampleCount);
        for (qsizetype i = 0; i < result.messages.size(); ++i)
            out += (i ? QStringLiteral(", ") : QString()) + jsonString(result.messages[i]);
        out += QStringLiteral("], \"completed\": ") +
               (result.completed ? QStringLiteral("true") : QStringLiteral("false")) +
               QStringLiteral("}\n");
    }
    return writeStdout(out);
}
