#include "options.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

#include "recording/durationtable.h"
#include "recording/timeunits.h"

namespace veltrano::report {

namespace {
QStringList mainUnitWords() {
    QStringList words;
    for (const TimeUnit& u : kTimeUnits)
        words << QString::fromUtf8(u.plural);
    return words;
}
QStringList filterUnitWords() {
    QStringList words;
    for (const NamedUnit& u : kFilterUnits)
        words << QString::fromUtf8(u.plural);
    return words;
}

// The option of each number input of "Filter instellingen"; %1 is its start value.
struct FilterOption {
    FilterField field;
    const char* name;
    const char* help;
};
constexpr FilterOption kFilterOptions[] = {
    {FilterField::OverVoltage, "over", "Grens voor overspanning in volt (%1)."},
    {FilterField::UnderVoltage, "under", "Grens voor onderspanning in volt (%1)."},
    {FilterField::OverTemperature, "temp-high", "Temperatuur bovengrens in °C (%1)."},
    {FilterField::UnderTemperature, "temp-low", "Temperatuur ondergrens in °C (%1)."},
    {FilterField::VoltageTimeFilter, "filter", "Tijdfilter spanning (%1)."},
    {FilterField::TemperatureTimeFilter, "temp-filter", "Tijdfilter temperatuur (%1)."},
};
static_assert(std::size(kFilterOptions) == kFilterFieldCount);
static_assert([] {
    for (std::size_t i = 0; i < kFilterFieldCount; ++i)
        if (kFilterOptions[i].field != FilterField(i))
            return false;
    return true;
}());

QString badValue(const QString& value, const QString& option) {
    return QStringLiteral("ongeldige waarde \"%1\" voor --%2").arg(value, option);
}

const QString kDescription = QStringLiteral(
    "Verwerkt een beeldbestand van de logger zoals \"Data verwerken\" in het venster en schrijft "
    "het rapport (tekst of JSON) of een CSV-export naar de standaarduitvoer.\n"
    "  veltrano-report [opties] BEELDBESTAND\n"
    "  veltrano-report [opties] --export "
    "spanning|temperatuur|calamiteiten|dagen|verdeling BEELDBESTAND\n"
    "  veltrano-report [opties] --summary [--jobs N] BEELDBESTAND...\n"
    "  veltrano-report [opties] --pdf BESTAND BEELDBESTAND\n"
    "  veltrano-report --duration-table [--unit EENHEID]\n"
    "Getallen worden gelezen zoals de taalinstelling (LC_ALL, LANG) ze schrijft.");
} // namespace

ParsedOptions parseOptions(const QStringList& arguments, const QLocale& locale) {
    const QStringList units = mainUnitWords();
    const QStringList filterUnits = filterUnitWords();
    const QString unitsText = units.join(QLatin1Char('|'));
    const QString filterUnitsText = filterUnits.join(QLatin1Char('|'));

    const ProcessingSettings start = ProcessingSettings::defaults(locale);
    std::vector<QCommandLineOption> texts;
    for (const FilterOption& f : kFilterOptions)
        texts.emplace_back(QString::fromLatin1(f.name),
                           QString::fromUtf8(f.help).arg(start.filterText(f.field)),
                           QStringLiteral("GETAL"));
    const auto text = [&texts](FilterField field) -> const QCommandLineOption& {
        return texts[std::size_t(field)];
    };

    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Toont deze hulptekst."));
    const QCommandLineOption unit(
        QStringLiteral("unit"),
        QStringLiteral("Tijdeenheid: %1 (minuten); bij --duration-table ook jaren (seconden).")
            .arg(unitsText),
        QStringLiteral("EENHEID"));
    const QCommandLineOption filterUnit(
        QStringLiteral("filter-unit"),
        QStringLiteral("Eenheid van het tijdfilter spanning: %1 (minuten).").arg(filterUnitsText),
        QStringLiteral("EENHEID"));
    const QCommandLineOption tempFilterUnit(
        QStringLiteral("temp-filter-unit"),
        QStringLiteral("Eenheid van het tijdfilter temperatuur: %1 (minuten).")
            .arg(filterUnitsText),
        QStringLiteral("EENHEID"));
    const QCommandLineOption startAt(
        QStringLiteral("start"),
        QStringLiteral("Datum aansluiting, ISO 8601 (2016-07-18T16:30:30); de tijden van de "
                       "export tellen hiervandaan."),
        QStringLiteral("DATUMTIJD"));
    const QCommandLineOption endAt(
        QStringLiteral("end"),
        QStringLiteral("Datum loskoppeling, ISO 8601 (2016-07-18T08:50:25)."),
        QStringLiteral("DATUMTIJD"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("Vorm van het rapport: text|json (text)."),
                                    QStringLiteral("VORM"));
    const QCommandLineOption exportKind(
        QStringLiteral("export"),
        QStringLiteral("Schrijft een CSV-bestand: spanning|temperatuur|calamiteiten (een regel "
                       "per meting of calamiteit), dagen (per kalenderdag) of verdeling (tijd "
                       "per 0,1 V en per 1 °C)."),
        QStringLiteral("SOORT"));
    const QCommandLineOption summary(
        QStringLiteral("summary"),
        QStringLiteral("Een CSV-regel per beeldbestand, in de gegeven volgorde; elk beeld wordt "
                       "verwerkt zoals direct na de start van het programma."));
    const QCommandLineOption jobs(
        QStringLiteral("jobs"),
        QStringLiteral("Bij --summary: zoveel beelden tegelijk (het aantal processorkernen)."),
        QStringLiteral("N"));
    const QCommandLineOption durationTable(
        QStringLiteral("duration-table"),
        QStringLiteral("Hoe lang de logger opneemt bij elk paar meetintervallen."));
    const QCommandLineOption pdf(
        QStringLiteral("pdf"),
        QStringLiteral("Schrijft het rapport en daarna de grafiek van de hele opname als PDF "
                       "naar BESTAND, zoals \"Rapport opslaan als PDF\" in het venster."),
        QStringLiteral("BESTAND"));
    parser.addOptions({help, unit, text(FilterField::OverVoltage), text(FilterField::UnderVoltage),
                       text(FilterField::OverTemperature), text(FilterField::UnderTemperature),
                       text(FilterField::VoltageTimeFilter), filterUnit,
                       text(FilterField::TemperatureTimeFilter), tempFilterUnit, startAt, endAt,
                       format, exportKind, summary, jobs, durationTable, pdf});
    parser.addPositionalArgument(QStringLiteral("BEELDBESTAND"),
                                 QStringLiteral("Het beeldbestand; bij --summary een of meer."),
                                 QStringLiteral("BEELDBESTAND..."));

    ParsedOptions out;
    if (!parser.parse(QStringList{QStringLiteral("veltrano-report")} + arguments)) {
        out.error = parser.errorText();
        return out;
    }
    Options o;
    if (parser.isSet(help)) {
        o.mode = Mode::Help;
        // The usage line names the program, not the path it was started by.
        o.helpText = parser.helpText();
        if (QCoreApplication::instance()) {
            const QString invoked = QCoreApplication::arguments().value(0);
            const qsizetype at = o.helpText.indexOf(invoked);
            if (!invoked.isEmpty() && at >= 0 && at < o.helpText.indexOf(QLatin1Char('\n')))
                o.helpText.replace(at, invoked.size(), QStringLiteral("veltrano-report"));
        }
        out.options = o;
        return out;
    }

    const bool modes[] = {parser.isSet(exportKind), parser.isSet(summary),
                          parser.isSet(durationTable), parser.isSet(pdf)};
    if (std::count(std::begin(modes), std::end(modes), true) > 1) {
        out.error =
            QStringLiteral("--export, --summary, --duration-table en --pdf gaan niet samen");
        return out;
    }
    o.mode = modes[0]   ? Mode::Export
             : modes[1] ? Mode::Summary
             : modes[2] ? Mode::DurationTable
             : modes[3] ? Mode::Pdf
                        : Mode::Report;
    if (o.mode == Mode::Pdf) {
        o.pdfPath = parser.value(pdf);
        if (o.pdfPath.isEmpty()) {
            out.error = badValue(o.pdfPath, QStringLiteral("pdf"));
            return out;
        }
    }
    o.images = parser.positionalArguments();

    // Each option belongs to some of the modes.
    const auto onlyWith = [&](const QCommandLineOption& option, std::initializer_list<Mode> with,
                              const QString& where) {
        if (!parser.isSet(option) || std::find(with.begin(), with.end(), o.mode) != with.end())
            return true;
        out.error =
            QStringLiteral("--%1 hoort alleen bij %2").arg(option.names().constLast(), where);
        return false;
    };
    if (!onlyWith(format, {Mode::Report}, QStringLiteral("het rapport")) ||
        !onlyWith(jobs, {Mode::Summary}, QStringLiteral("--summary")))
        return out;
    if (o.mode == Mode::DurationTable) {
        std::vector<const QCommandLineOption*> processingOptions{&filterUnit, &tempFilterUnit,
                                                                 &startAt, &endAt};
        for (const QCommandLineOption& option : texts)
            processingOptions.push_back(&option);
        for (const QCommandLineOption* option : processingOptions)
            if (!onlyWith(*option, {}, QStringLiteral("de verwerking van een beeld")))
                return out;
        if (!o.images.isEmpty()) {
            out.error = QStringLiteral("--duration-table leest geen beeldbestand");
            return out;
        }
        if (parser.isSet(unit)) {
            const auto index = tableTimeUnitIndex(parser.value(unit));
            if (!index) {
                out.error = badValue(parser.value(unit), QStringLiteral("unit"));
                return out;
            }
            o.tableUnit = *index;
        }
        out.options = o;
        return out;
    }

    if (o.images.isEmpty()) {
        out.error = QStringLiteral("geen beeldbestand opgegeven");
        return out;
    }
    if (o.mode != Mode::Summary && o.images.size() > 1) {
        out.error = QStringLiteral("meer dan één beeldbestand opgegeven");
        return out;
    }

    ProcessingSettings& s = o.settings;
    s = ProcessingSettings::defaults(locale);
    const auto pick = [&](const QCommandLineOption& option, const QStringList& words, int& target) {
        if (!parser.isSet(option))
            return true;
        const auto i = words.indexOf(parser.value(option));
        if (i < 0) {
            out.error = badValue(parser.value(option), option.names().constLast());
            return false;
        }
        target = int(i);
        return true;
    };
    if (!pick(unit, units, s.timeUnit) || !pick(filterUnit, filterUnits, s.voltageTimeFilterUnit) ||
        !pick(tempFilterUnit, filterUnits, s.temperatureTimeFilterUnit))
        return out;
    for (const FilterOption& f : kFilterOptions)
        if (parser.isSet(text(f.field)))
            s.filterText(f.field) = parser.value(text(f.field));
    for (const auto& [option, target] :
         {std::pair{&startAt, &s.periodStart}, std::pair{&endAt, &s.periodEnd}}) {
        if (!parser.isSet(*option))
            continue;
        const QDateTime dt = QDateTime::fromString(parser.value(*option), Qt::ISODate);
        if (!dt.isValid()) {
            out.error = badValue(parser.value(*option), option->names().constLast());
            return out;
        }
        *target = dt;
    }
    if (parser.isSet(format)) {
        o.format = parser.value(format);
        if (o.format != QStringLiteral("text") && o.format != QStringLiteral("json")) {
            out.error = badValue(o.format, QStringLiteral("format"));
            return out;
        }
    }
    if (o.mode == Mode::Export) {
        const auto kind = csvExportFromWord(parser.value(exportKind));
        if (!kind) {
            out.error = badValue(parser.value(exportKind), QStringLiteral("export"));
            return out;
        }
        o.exportKind = *kind;
    }
    if (o.mode == Mode::Summary) {
        o.jobs = QThread::idealThreadCount();
        if (parser.isSet(jobs)) {
            bool ok = false;
            o.jobs = parser.value(jobs).toInt(&ok);
            if (!ok || o.jobs < 1) {
                out.error = badValue(parser.value(jobs), QStringLiteral("jobs"));
                return out;
            }
        }
    }
    Limits limits;
    if (auto error = readLimits(s, limits)) {
        out.error = error->message;
        return out;
    }
    out.options = o;
    return out;
}

bool asksForPdf(const QStringList& arguments) {
    // The spellings the parser takes: one or two dashes, the value apart or after '='.
    for (const QString& a : arguments) {
        if (a == QLatin1String("--"))
            return false;
        const QString name = a.startsWith(QLatin1String("--")) ? a.mid(2)
                             : a.startsWith(QLatin1Char('-'))  ? a.mid(1)
                                                               : QString();
        if (name == QLatin1String("pdf") || name.startsWith(QLatin1String("pdf=")))
            return true;
    }
    return false;
}

} // namespace veltrano::report
