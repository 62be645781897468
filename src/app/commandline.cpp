#include "commandline.h"

#include <cstdio>

#include <QCoreApplication>

#include "mainwindow.h"

namespace veltrano {

CommandLine::CommandLine()
    : open_(QStringLiteral("open"), QString(), QStringLiteral("bestand")),
      process_(QStringLiteral("process")),
      screenshot_(QStringLiteral("screenshot"), QString(), QStringLiteral("png")),
      event_(QStringLiteral("event"), QString(), QStringLiteral("nummer")),
      markers_(QStringLiteral("markers")) {
    parser_.setApplicationDescription(
        QStringLiteral("Veltrano: haalt de metingen van een QLO batterijlogger op, opent en "
                       "bewaart geheugenbeelden, en toont de calamiteiten en de grafiek."));
    parser_.addHelpOption();
    parser_.addVersionOption();
    parser_.addPositionalArgument(QStringLiteral("bestand"),
                                  QStringLiteral("Een opgeslagen geheugenbeeld om te openen."),
                                  QStringLiteral("[bestand]"));
    // For pictures of the window: open and process a file, go to an event, show the
    // measuring lines, save the window as a PNG file and end.
    for (QCommandLineOption* o : {&open_, &process_, &screenshot_, &event_, &markers_}) {
        o->setFlags(QCommandLineOption::HiddenFromHelp);
        parser_.addOption(*o);
    }
}

bool CommandLine::parse(const QStringList& arguments) {
    const auto print = [](FILE* to, const QString& text) {
        std::fputs(qPrintable(text), to);
        std::fflush(to);
    };
    if (!parser_.parse(arguments)) {
        print(stderr, parser_.errorText() + QLatin1Char('\n'));
        exitCode_ = 2;
        return false;
    }
    if (parser_.isSet(QStringLiteral("help"))) {
        print(stdout, parser_.helpText());
        return false;
    }
    if (parser_.isSet(QStringLiteral("version"))) {
        print(stdout, QCoreApplication::applicationName() + QLatin1Char(' ') +
                          QCoreApplication::applicationVersion() + QLatin1Char('\n'));
        return false;
    }
    if (parser_.positionalArguments().size() > 1) {
        print(stderr, QStringLiteral("Geef hoogstens één bestand op.\n"));
        exitCode_ = 2;
        return false;
    }
    return true;
}

QString CommandLine::file() const {
    if (parser_.isSet(open_))
        return parser_.value(open_);
    const QStringList files = parser_.positionalArguments();
    return files.isEmpty() ? QString() : files.first();
}

void openFromCommandLine(MainWindow& window, const CommandLine& line) {
    if (!line.file().isEmpty() && window.openImage(line.file()) && line.process())
        window.process();
}

} // namespace veltrano
