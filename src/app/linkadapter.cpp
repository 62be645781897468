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

LinkAdapter::LinkAdapter(WindowStateModel& model, MainWidgets& ui, UiSeams& seams, QWidget* window)
    : QObject(window), model_(model), ui_(ui), seams_(seams), window_(window),
      Timer1(new QTimer(this)) {
    Timer1->setInterval(kEraseTickMs);
    connect(Timer1, &QTimer::timeout, this, &LinkAdapter::Timer1Timer);
}

bool LinkAdapter::processingIdle() const {
    return !model_.state().processing;
}

void LinkAdapter::showConnected() {
    model_.setConnected(true);
    ui_.StatusLabel->setText(linktext::Connected);
}

void LinkAdapter::showDisconnected() {
    ui_.ProgressBar2->setValue(100);
    ui_.ProgressBar2->hide();
    ui_.StatusLabel->setText(linktext::NotConnected);
    model_.setConnected(false);
}

void LinkAdapter::downloadStarting() {
    ui_.ProgressBar2->setValue(0);
    model_.downloadStarted();
}

void LinkAdapter::downloadProgressStep() {
    ui_.ProgressBar2->setValue(std::min(100, ui_.ProgressBar2->value() + 1));
}

void LinkAdapter::downloadComplete() {
    if (model_.state().link == LinkActivity::Downloading)
        model_.downloadEnded();
    else
        model_.doneOutsideDownload();
    ui_.StatusLabel->setText(linktext::DataReady);
}

void LinkAdapter::downloadBrokenOff() {
    // Hidden at once, not run out: nothing was completed.
    ui_.ProgressBar2->setValue(100);
    ui_.ProgressBar2->hide();
    model_.downloadEnded();
}

void LinkAdapter::eraseStarted(bool intervals) {
    Timer1->start();
    ui_.EraseProgressBar->setValue(0);
    model_.conversationStarted(intervals ? LinkActivity::SettingIntervals : LinkActivity::Erasing);
}

void LinkAdapter::eraseFinished() {
    Timer1->stop();
    model_.conversationEnded();
}

void LinkAdapter::conversationBrokenOff() {
    Timer1->stop();
    model_.conversationEnded();
}

void LinkAdapter::Timer1Timer() {
    ui_.EraseProgressBar->setValue(
        LinkController::nextErasePosition(ui_.EraseProgressBar->value()));
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
