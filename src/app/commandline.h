#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace veltrano {

class MainWindow;

// The viewer's command line: an image file to open, and hidden options for taking pictures
// of the window (developer use).
class CommandLine {
public:
    CommandLine();

    // False when the program is to end right away with exitCode(): after --help, --version
    // or a mistake, each printed.
    bool parse(const QStringList& arguments);
    int exitCode() const { return exitCode_; }
    QString helpText() const { return parser_.helpText(); }

    // The image file to open at start; empty for none.
    QString file() const;
    bool process() const { return parser_.isSet(process_); }
    QString screenshot() const { return parser_.value(screenshot_); }
    QString event() const { return parser_.value(event_); }
    bool markers() const { return parser_.isSet(markers_); }

private:
    QCommandLineParser parser_;
    QCommandLineOption open_;
    QCommandLineOption process_;
    QCommandLineOption screenshot_;
    QCommandLineOption event_;
    QCommandLineOption markers_;
    int exitCode_ = 0;
};

// Opens the command line's file as "Data openen" with that file would, and starts the run
// the picture options ask for.
void openFromCommandLine(MainWindow& window, const CommandLine& line);

} // namespace veltrano
