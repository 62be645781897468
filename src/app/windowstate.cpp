#include "windowstate.h"

namespace veltrano {

ControlStates controlStates(const WindowState& s) {
    const bool downloading = s.link == LinkActivity::Downloading;
    const bool linkIdle = s.link == LinkActivity::None;
    ControlStates c;
    c.connectShown = !s.connected;
    // A download replaces the image a run reads; one conversation with the logger at a time.
    c.receiveData = s.connected && !s.processing && linkIdle;
    c.process = s.imageReady && !s.processing && !downloading;
    c.timeUnits = s.settingsUnlocked && !s.processing && !downloading;
    c.filters = c.timeUnits;
    c.configuration = !s.processing;
    // An erase during a download or a run would lose the recording still being fetched or
    // shown; two conversations at once would end on each other's answer.
    c.erase = !s.processing && linkIdle;
    c.intervalSetting = c.erase;
    c.navigation = s.chartDrawn;
    // One export at a time, of a finished run; a run may start meanwhile, for the export
    // holds the result it writes.
    c.exports = s.resultCompleted && !s.processing && !s.exporting;
    c.downloadRunning = downloading;
    c.eraseBar = s.link == LinkActivity::Erasing || s.link == LinkActivity::SettingIntervals;
    c.processingRunning = s.processing;
    c.exportBar = s.exporting;
    return c;
}

template <class F> void WindowStateModel::update(F&& change) {
    const WindowState before = state_;
    change(state_);
    if (!(state_ == before))
        emit changed();
}

void WindowStateModel::setConnected(bool connected) {
    update([connected](WindowState& s) { s.connected = connected; });
}

void WindowStateModel::downloadStarted() {
    update([](WindowState& s) {
        s.link = LinkActivity::Downloading;
        s.unsavedDownload = false;
    });
}

void WindowStateModel::downloadEnded() {
    update([](WindowState& s) {
        s.link = LinkActivity::None;
        s.imageReady = true;
        s.settingsUnlocked = true;
        s.unsavedDownload = true;
    });
}

void WindowStateModel::doneOutsideDownload() {
    update([](WindowState& s) {
        s.imageReady = true;
        s.settingsUnlocked = true;
    });
}

void WindowStateModel::conversationStarted(LinkActivity activity) {
    update([activity](WindowState& s) { s.link = activity; });
}

void WindowStateModel::conversationEnded() {
    update([](WindowState& s) { s.link = LinkActivity::None; });
}

void WindowStateModel::runStarted() {
    update([](WindowState& s) { s.processing = true; });
}

void WindowStateModel::runEnded(bool completed) {
    update([completed](WindowState& s) {
        s.processing = false;
        s.imageReady = true;
        s.settingsUnlocked = true;
        s.resultCompleted = completed;
    });
}

void WindowStateModel::exportStarted() {
    update([](WindowState& s) { s.exporting = true; });
}

void WindowStateModel::exportEnded() {
    update([](WindowState& s) { s.exporting = false; });
}

void WindowStateModel::imageOpened() {
    update([](WindowState& s) {
        s.imageReady = true;
        s.unsavedDownload = false;
    });
}

void WindowStateModel::imageSaved() {
    update([](WindowState& s) {
        if (s.link != LinkActivity::Downloading)
            s.unsavedDownload = false;
    });
}

void WindowStateModel::chartDrawn() {
    update([](WindowState& s) { s.chartDrawn = true; });
}

} // namespace veltrano
