#include "dutchtexts.h"

#include <cstring>

#include <QCoreApplication>
#include <QTranslator>

#include "analysis/qtdutch.h"

namespace veltrano::report {

namespace {
// The texts of the command-line parser, for systems without Qt's translations.
class ParserTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (std::strcmp(context, "QCommandLineParser") != 0)
            return {};
        static const struct {
            const char* source;
            const char* dutch;
        } texts[] = {
            {"Unknown option '%1'.", "Onbekende optie '%1'."},
            {"Unknown options: %1.", "Onbekende opties: %1."},
            {"Missing value after '%1'.", "Ontbrekende waarde na '%1'."},
            {"Unexpected value after '%1'.", "Onverwachte waarde na '%1'."},
            {"Usage: %1", "Gebruik: %1"},
            {"[options]", "[opties]"},
            {"Options:", "Opties:"},
            {"Arguments:", "Argumenten:"},
        };
        for (const auto& t : texts)
            if (std::strcmp(source, t.source) == 0)
                return QString::fromUtf8(t.dutch);
        return {};
    }
};
} // namespace

void installDutchTexts(QCoreApplication& app) {
    // Installed first, so asked last.
    app.installTranslator(new ParserTexts(&app));
    installQtDutch(app);
}

} // namespace veltrano::report
