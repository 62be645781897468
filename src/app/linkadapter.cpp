#include "linkadapter.h"

#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "link/linktexts.h"
#include "mainwidgets.h"
#include "uiseams.h"
#include "windowstate.h"

namespace veltrano {

namespace {
constexpr int kEraseTickMs = 2100;
} // namespace

LinkAdapter::LinkAdapter(WindowStateModel& model, MainWidgets& widgets, UiSeams& seams,
                         QWidget* window)
    : QObject(window), model_(model), widgets_(widgets), seams_(seams), window_(window),
      eraseTicker_(new QTimer(this)) {
    eraseTicker_->setInterval(kEraseTickMs);
    connect(eraseTicker_, &QTimer::timeout, this, &LinkAdapter::advanceEraseBar);
}

void LinkAdapter::showConnected() {
    model_.setConnected(true);
    widgets_.setStatus(linktext::Connected);
}

void LinkAdapter::showDisconnected() {
    widgets_.downloadBar()->setValue(100);
    widgets_.downloadBar()->hide();
    widgets_.setStatus(linktext::NotConnected);
    model_.setConnected(false);
}

void LinkAdapter::downloadStarting() {
    widgets_.downloadBar()->setValue(0);
    model_.downloadStarted();
}

void LinkAdapter::downloadProgressStep() {
    widgets_.downloadBar()->setValue(std::min(100, widgets_.downloadBar()->value() + 1));
}

void LinkAdapter::downloadComplete() {
    if (model_.state().link == LinkActivity::Downloading) {
        model_.downloadEnded();
        emit imageDownloaded();
    } else {
        model_.doneOutsideDownload();
    }
    widgets_.setStatus(linktext::DataReady);
}

void LinkAdapter::downloadBrokenOff() {
    // Hidden at once, not run out: nothing was completed.
    widgets_.downloadBar()->setValue(100);
    widgets_.downloadBar()->hide();
    model_.downloadEnded();
    emit imageDownloaded();
}

void LinkAdapter::eraseStarted(bool intervals) {
    eraseTicker_->start();
    widgets_.eraseBar()->setValue(0);
    model_.conversationStarted(intervals ? LinkActivity::SettingIntervals : LinkActivity::Erasing);
}

void LinkAdapter::eraseFinished() {
    eraseTicker_->stop();
    model_.conversationEnded();
}

void LinkAdapter::conversationBrokenOff() {
    eraseTicker_->stop();
    model_.conversationEnded();
}

void LinkAdapter::advanceEraseBar() {
    widgets_.eraseBar()->setValue(LinkController::nextErasePosition(widgets_.eraseBar()->value()));
}

void LinkAdapter::showNotice() {
    if (!notice_)
        return;
    notice_->show();
    notice_->raise();
}

void LinkAdapter::beep() {
    QApplication::beep();
}

void LinkAdapter::information(const QString& text) {
    seams_.information(window_, text);
}

bool LinkAdapter::confirm(const QString& text) {
    return seams_.question(window_, text);
}

} // namespace veltrano
