#pragma once

#include <memory>

#include <QString>

class QTemporaryDir;

namespace veltrano {

// The page the logo opens: the copy among the program's installed data, or else the one
// built into it, written out once to a temporary folder.
class AboutPage {
public:
    AboutPage();
    ~AboutPage();

    // Where the installed copy lies; empty when there is none.
    static QString installedPath();
    // A file that holds the page, or an empty string when none can be made.
    QString path();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

} // namespace veltrano
