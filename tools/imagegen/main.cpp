// veltrano-imagegen: writes image files for tests and demos.
//   veltrano-imagegen demo OUT        the demo recording
//   veltrano-imagegen events OUT      a full memory with thousands of events
//   veltrano-imagegen script IN OUT   words from a description, one per line:
//   veltrano-imagegen raw IN OUT      the same words, without the image-file form
//     calibration N | start CODE | temperature-start CODE | voltage-interval CODE |
//     temperature-interval CODE | recording VCODE TCODE | voltage VOLTS [COUNT] |
//     voltage-raw N [COUNT] | temperature CELSIUS [COUNT] | beginpoint | end [TAG] |
//     done | word TAG VALUE        ('#' starts a comment)
#include <cstdio>

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include "demo.h"

using namespace veltrano;

namespace {
int fail(const QString& message) {
    std::fprintf(stderr, "veltrano-imagegen: %s\n", qPrintable(message));
    return 2;
}

std::optional<QString> runScript(const QString& in, ImageBuilder& b) {
    QFile file(in);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("kan %1 niet lezen").arg(in);
    QTextStream stream(&file);
    int lineNo = 0;
    while (!stream.atEnd()) {
        ++lineNo;
        QString line = stream.readLine();
        line = line.left(line.indexOf(QLatin1Char('#'))).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const auto num = [&](int i, double fallback) {
            return f.size() > i ? f[i].toDouble() : fallback;
        };
        const QString& k = f[0];
        try {
            if (k == "calibration")
                b.calibration(int(num(1, 0)));
            else if (k == "start")
                b.recordingStart(int(num(1, 2)));
            else if (k == "temperature-start")
                b.temperatureStart(int(num(1, 1)));
            else if (k == "voltage-interval")
                b.voltageInterval(int(num(1, 2)));
            else if (k == "temperature-interval")
                b.temperatureInterval(int(num(1, 1)));
            else if (k == "recording")
                b.recording(int(num(1, 2)), int(num(2, 1)));
            else if (k == "voltage")
                b.voltage(num(1, 0), int(num(2, 1)));
            else if (k == "voltage-raw")
                for (int i = 0; i < int(num(2, 1)); ++i)
                    b.voltageRaw(int(num(1, 0)));
            else if (k == "temperature")
                b.temperature(num(1, 0), int(num(2, 1)));
            else if (k == "beginpoint")
                b.beginPoint();
            else if (k == "end")
                b.endOfRecording(int(num(1, 17)));
            else if (k == "done")
                b.done();
            else if (k == "word")
                b.word(int(num(1, 0)), int(num(2, 0)));
            else
                return QStringLiteral("regel %1: onbekend woord \"%2\"").arg(lineNo).arg(k);
        } catch (const std::exception& e) {
            return QStringLiteral("regel %1: %2").arg(lineNo).arg(QString::fromUtf8(e.what()));
        }
    }
    return std::nullopt;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    ImageBuilder b;
    QString out;
    if (args.size() == 2 && args[0] == "demo") {
        b = demoRecording();
        out = args[1];
    } else if (args.size() == 2 && args[0] == "events") {
        b = eventRichRecording();
        out = args[1];
    } else if (args.size() == 3 && (args[0] == "script" || args[0] == "raw")) {
        if (auto error = runScript(args[1], b))
            return fail(*error);
        out = args[2];
        if (args[0] == "raw") {
            QFile file(out);
            const auto& bytes = b.data();
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) !=
                    qint64(bytes.size()))
                return fail(QStringLiteral("kan %1 niet schrijven").arg(out));
            return 0;
        }
    } else {
        return fail(QStringLiteral("gebruik: veltrano-imagegen demo|events UIT, of script|raw IN UIT"));
    }
    if (auto error = b.save(out))
        return fail(*error);
    return 0;
}
