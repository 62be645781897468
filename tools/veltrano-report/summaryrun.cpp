#include "summaryrun.h"

#include <map>
#include <memory>

#include <QEventLoop>
#include <QFutureWatcher>
#include <QIODevice>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include "analysis/summary.h"

namespace veltrano::report {

SummaryOutcome runSummary(const QStringList& images, const ProcessingSettings& settings, int jobs,
                          QIODevice& out) {
    SummaryOutcome outcome;
    const auto write = [&](const QByteArray& bytes) {
        if (!outcome.writeError && out.write(bytes) != bytes.size())
            outcome.writeError = out.errorString();
    };
    write(summaryHeader(settings.locale));

    QThreadPool pool;
    pool.setMaxThreadCount(jobs);
    pool.setExpiryTimeout(-1); // threads, and with them their workspaces, live for the run
    const auto summarize = [settings](const QString& path) {
        // Each thread keeps one workspace, so an image costs no fresh 17 MB buffers.
        thread_local std::unique_ptr<SummaryWorkspace> workspace;
        if (!workspace)
            workspace = std::make_unique<SummaryWorkspace>();
        const ProcessingSettings own = settings; // nothing shared between the threads
        return summarizeImage(path, own, *workspace);
    };

    // Lines arrive in any order; each is written once those before it are.
    std::map<int, SummaryRow> waiting;
    int next = 0;
    QFutureWatcher<SummaryRow> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<SummaryRow>::resultReadyAt, &loop, [&](int index) {
        waiting.emplace(index, watcher.resultAt(index));
        for (auto it = waiting.begin(); it != waiting.end() && it->first == next;
             it = waiting.erase(it), ++next) {
            write(it->second.csv);
            outcome.failedImages += it->second.ok ? 0 : 1;
        }
    });
    QObject::connect(&watcher, &QFutureWatcher<SummaryRow>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::mapped(&pool, images, summarize));
    if (!watcher.isFinished())
        loop.exec();
    return outcome;
}

} // namespace veltrano::report
