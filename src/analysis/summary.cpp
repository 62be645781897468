#include "summary.h"

#include <array>
#include <exception>

#include <QBuffer>
#include <QStringList>

#include "analysis/csvwriter.h"

namespace veltrano {

namespace {
const QStringList& headings() {
    static const QStringList h = {
        QStringLiteral("bestand"),
        QStringLiteral("status"),
        QStringLiteral("spanningsmetingen"),
        QStringLiteral("temperatuurmetingen"),
        QStringLiteral("calamiteiten"),
        QStringLiteral("overspanning"),
        QStringLiteral("onderspanning"),
        QStringLiteral("overtemperatuur"),
        QStringLiteral("ondertemperatuur"),
        QStringLiteral("gemiddelde spanning"),
        QStringLiteral("max spanning"),
        QStringLiteral("min spanning"),
        QStringLiteral("gemiddelde temperatuur"),
        QStringLiteral("max temperatuur"),
        QStringLiteral("min temperatuur"),
        QStringLiteral("spanningmeetinterval (s)"),
        QStringLiteral("temperatuurmeetinterval (s)"),
        QStringLiteral("duur (s)"),
        QStringLiteral("uren boven overspanning"),
        QStringLiteral("uren tussen spanningsgrenzen"),
        QStringLiteral("uren onder onderspanning"),
        QStringLiteral("uren boven temperatuurbovengrens"),
        QStringLiteral("uren tussen temperatuurgrenzen"),
        QStringLiteral("uren onder temperatuurondergrens"),
    };
    return h;
}

const QString kOk = QStringLiteral("ok");
const QString kNoRecording = QStringLiteral("Geen afgesloten opname in het beeld");

QByteArray row(const QString& path, const QString& status, const ProcessingResult* r,
               const DecoderState& state, const CsvStyle& style) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CsvWriter out(buffer, style);
    const char sep = style.separator;
    const char dec = style.decimal;
    out.text(path);
    char* p = out.reserve(1);
    *p++ = sep;
    out.commit(p);
    out.text(status);
    p = out.reserve(std::size_t(headings().size()) * kMaxNumberChars);
    if (!r) {
        for (int i = 2; i < int(headings().size()); ++i)
            *p++ = sep;
    } else {
        const SummaryFigures& last = r->lastSummary;
        const Statistics& s = last.stats;
        std::array<std::int64_t, 4> kinds{};
        for (const ClosedEvent& e : r->events)
            ++kinds[std::size_t(e.kind)];
        for (const std::int64_t count :
             {std::int64_t(s.voltage.count), std::int64_t(s.temperature.count),
              std::int64_t(r->eventCount), kinds[0], kinds[1], kinds[2], kinds[3]}) {
            *p++ = sep;
            p = putInteger(p, count);
        }
        const bool temperatures = s.temperature.count > 0;
        for (const double v : {s.voltage.mean, s.voltage.max, s.voltage.min}) {
            *p++ = sep;
            p = putTwoDecimals(p, v, dec);
        }
        for (const double v : {s.temperature.mean, s.temperature.max, s.temperature.min}) {
            *p++ = sep;
            if (temperatures)
                p = putTwoDecimals(p, v, dec);
        }
        for (const double v :
             {state.voltageInterval, state.temperatureInterval, r->recordingSeconds}) {
            *p++ = sep;
            p = putShortest(p, v, dec);
        }
        for (const LimitSeconds& sides : {last.voltage, last.temperature})
            for (const double seconds : {sides.above, sides.between, sides.below}) {
                *p++ = sep;
                p = putShortest(p, seconds / 3600, dec);
            }
    }
    *p++ = '\n';
    out.commit(p);
    out.finish();
    return bytes;
}
} // namespace

QByteArray summaryHeader(const QLocale& locale) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CsvWriter out(buffer, CsvStyle::of(locale));
    out.byteOrderMark();
    out.textRow(headings());
    out.finish();
    return bytes;
}

SummaryRow summarizeImage(const QString& path, const ProcessingSettings& settings,
                          SummaryWorkspace& workspace) {
    const CsvStyle style = CsvStyle::of(settings.locale);
    DecoderState state;
    const auto failed = [&](const QString& why) {
        return SummaryRow{row(path, why, nullptr, state, style), false};
    };
    if (auto error = workspace.image.load(path))
        return failed(*error);
    ProcessingResult& r = workspace.result;
    try {
        if (auto error = processImageWithoutSamples(workspace.image.data(), settings, state, r))
            return failed(error->message);
    } catch (const std::exception& e) {
        return failed(
            QStringLiteral("Verwerken is mislukt: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    if (!r.completed)
        return failed(kNoRecording);
    // As the report's top shows it: the last summary, whatever the ones before it said.
    if (r.lastSummary.stats.voltage.count == 0)
        return failed(kNoSamplesMessage);
    return {row(path, kOk, &r, state, style), true};
}

} // namespace veltrano
