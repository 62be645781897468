// veltrano-report: processes an image file the way the viewer does and prints the report.
#include <charconv>
#include <cstdio>
#include <cstring>

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include "analysis/processing.h"
#include "recording/durationtable.h"
#include "recording/timeunits.h"

using namespace veltrano;

namespace {

const char* kUsage = "gebruik: veltrano-report [opties] BEELDBESTAND\n"
                     "  --unit seconden|minuten|uren|dagen|weken   (minuten)\n"
                     "  --over TEKST --under TEKST --temp-high TEKST --temp-low TEKST\n"
                     "  --filter TEKST --filter-unit minuten|uren|dagen\n"
                     "  --temp-filter TEKST --temp-filter-unit minuten|uren|dagen\n"
                     "  --start DATUMTIJD --end DATUMTIJD   (ISO 8601)\n"
                     "  --format text|json   (text)\n"
    "or:      veltrano-report --duration-table [--unit seconden|minuten|uren|dagen|weken|jaren]\n"
    "         prints how long the logger records for every pair of intervals\n";

int fail(const QString& message, int code) {
    std::fprintf(stderr, "veltrano-report: %s\n", message.toLocal8Bit().constData());
    return code;
}

QString jsonString(const QString& s) {
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
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

// The recording-duration table as the configuration window shows it.
int printDurationTable(const QStringList& args, const QLocale& locale) {
    int unit = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--duration-table"))
            continue;
        if (args[i] == QStringLiteral("--unit") && i + 1 < args.size()) {
            const auto index = tableTimeUnitIndex(args[++i]);
            if (!index)
                return fail(QStringLiteral("ongeldige waarde \"%1\" voor --unit").arg(args[i]), 2);
            unit = *index;
        } else {
            return fail(QStringLiteral("onbekende optie %1 bij --duration-table").arg(args[i]), 2);
        }
    }
    const QByteArray bytes = durationTableText(unit, locale).toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int unitIndex(const QString& word, const QStringList& words) {
    return int(words.indexOf(word));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QLocale locale = QLocale::system();
    QLocale::setDefault(locale);
    ProcessingSettings settings = ProcessingSettings::defaults(locale);
    QString format = QStringLiteral("text");
    QString imagePath;

    const QStringList mainUnits = {"seconden", "minuten", "uren", "dagen", "weken"};
    const QStringList filterUnits = {"minuten", "uren", "dagen"};
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--duration-table")))
        return printDurationTable(args, locale);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!a.startsWith(QStringLiteral("--"))) {
            if (!imagePath.isEmpty())
                return fail(QStringLiteral("meer dan een beeldbestand opgegeven"), 2);
            imagePath = a;
            continue;
        }
        if (i + 1 >= args.size())
            return fail(QStringLiteral("optie %1 mist een waarde\n%2").arg(a, kUsage), 2);
        const QString v = args[++i];
        const auto badValue = [&] {
            return fail(QStringLiteral("ongeldige waarde \"%1\" voor %2").arg(v, a), 2);
        };
        if (a == "--unit") {
            if ((settings.timeUnit = unitIndex(v, mainUnits)) < 0)
                return badValue();
        } else if (a == "--over") {
            settings.overspanning = v;
        } else if (a == "--under") {
            settings.onderspanning = v;
        } else if (a == "--temp-high") {
            settings.temperatuurbovengrens = v;
        } else if (a == "--temp-low") {
            settings.temperatuurondergrens = v;
        } else if (a == "--filter") {
            settings.tijdfilter = v;
        } else if (a == "--filter-unit") {
            if ((settings.tijdfilterUnit = unitIndex(v, filterUnits)) < 0)
                return badValue();
        } else if (a == "--temp-filter") {
            settings.temperatuurtijdfilter = v;
        } else if (a == "--temp-filter-unit") {
            if ((settings.temperatuurtijdfilterUnit = unitIndex(v, filterUnits)) < 0)
                return badValue();
        } else if (a == "--start" || a == "--end") {
            const QDateTime dt = QDateTime::fromString(v, Qt::ISODate);
            if (!dt.isValid())
                return badValue();
            (a == "--start" ? settings.periodStart : settings.periodEnd) = dt;
        } else if (a == "--format") {
            if (v != "text" && v != "json")
                return badValue();
            format = v;
        } else {
            return fail(QStringLiteral("onbekende optie %1\n%2").arg(a, kUsage), 2);
        }
    }
    if (imagePath.isEmpty())
        return fail(QStringLiteral("geen beeldbestand opgegeven\n%1").arg(kUsage), 2);

    Limits limits;
    if (auto error = readLimits(settings, limits))
        return fail(error->message, 2);

    MemoryImage image;
    if (auto error = image.load(imagePath))
        return fail(*error, 1);

    DecoderState state;
    ProcessingResult result;
    if (auto error = processImage(image.data(), settings, state, result))
        return fail(error->message, 2);

    QString out;
    if (format == "text") {
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
        const int listed = std::min(result.calamiteitcount, EventList::kCapacity - 1);
        for (int n = 1; n <= listed; ++n) {
            if (n > 1)
                out += QStringLiteral(", ");
            out += QStringLiteral("{\"number\": %1, \"kind\": \"%2\", \"start\": %3, \"end\": %4}")
                       .arg(n)
                       .arg(QString::fromLatin1(
                           eventKindWord(EventKind(result.calamiteitenarray.kind[n]))))
                       .arg(jsonNumber(result.calamiteitenarray.start[n]))
                       .arg(jsonNumber(result.calamiteitenarray.end[n]));
        }
        out += QStringLiteral("], \"voltage_samples\": %1, \"temperature_samples\": %2, "
                              "\"messages\": [")
                   .arg(result.samples.C)
                   .arg(result.samples.D);
        for (qsizetype i = 0; i < result.messages.size(); ++i)
            out += (i ? QStringLiteral(", ") : QString()) + jsonString(result.messages[i]);
        out += QStringLiteral("], \"completed\": ") +
               (result.completed ? QStringLiteral("true") : QStringLiteral("false")) +
               QStringLiteral("}\n");
    }
    const QByteArray bytes = out.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
