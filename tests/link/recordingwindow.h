#pragma once

#include <functional>

#include <QStringList>

#include "link/linkcontroller.h"

namespace veltrano::testing {

// Stands in for the main window: answers questions as told and logs every call.
class RecordingWindow final : public LinkWindow {
public:
    QStringList log;
    bool answer = true;

    void showConnected() override { log << QStringLiteral("connected"); }
    void showDisconnected() override { log << QStringLiteral("disconnected"); }
    void downloadStarting() override { log << QStringLiteral("downloadStarting"); }
    void downloadProgressStep() override { ++steps; }
    void downloadComplete() override { log << QStringLiteral("complete"); }
    void downloadBrokenOff() override { log << QStringLiteral("brokenOff"); }
    void eraseStarted(bool) override { log << QStringLiteral("eraseStarted"); }
    void eraseFinished() override { log << QStringLiteral("eraseFinished"); }
    void conversationBrokenOff() override { log << QStringLiteral("conversationBrokenOff"); }
    void showNotice() override { log << QStringLiteral("notice"); }
    void beep() override { ++beeps; }
    void information(const QString& text) override {
        log << QStringLiteral("info:") + text;
        if (whileMessageShows)
            whileMessageShows(text);
    }
    bool confirm(const QString& text) override {
        log << QStringLiteral("confirm:") + text;
        return answer;
    }

    int steps = 0;
    int beeps = 0;
    // Runs while a message is open, as a message box would stay open.
    std::function<void(const QString&)> whileMessageShows;
};

} // namespace veltrano::testing
