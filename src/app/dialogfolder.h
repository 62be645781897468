#pragma once

#include <QString>

namespace veltrano {

// The folder the file dialogs start in: the folder of the file last chosen in any of them
// ("Data openen", "Data opslaan" and the exports alike).
class DialogFolder {
public:
    // Where the next dialog starts; empty (the dialog's own choice) when no folder has been
    // chosen yet or the chosen one is gone.
    QString start() const;
    // The path a dialog returned; an empty path (cancelled) changes nothing.
    void chosen(const QString& filePath);

    QString path() const { return path_; }
    void setPath(const QString& folder) { path_ = folder; }

private:
    QString path_;
};

} // namespace veltrano
