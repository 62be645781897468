#pragma once

#include <QObject>
#include <QPointer>

#include "link/linkcontroller.h"

class QTimer;
class QWidget;

namespace veltrano {

struct MainWidgets;
class UiSeams;
class WindowStateModel;

// What the link's actions do to the main window: state transitions, the status label, the
// download and erase bars and the messages.
class LinkAdapter final : public QObject, public LinkWindow {
    Q_OBJECT
public:
    LinkAdapter(WindowStateModel& model, MainWidgets& widgets, UiSeams& seams, QWidget* window);

    void setNotice(QWidget* notice) { notice_ = notice; }
    QWidget* notice() const { return notice_; }

    void showConnected() override;
    void showDisconnected() override;
    void downloadStarting() override;
    void downloadProgressStep() override;
    void downloadComplete() override;
    void downloadBrokenOff() override;
    void eraseStarted(bool intervals) override;
    void eraseFinished() override;
    void conversationBrokenOff() override;
    void showNotice() override;
    void beep() override;
    void information(const QString& text) override;
    bool confirm(const QString& text) override;

signals:
    // A download ended, completed or broken off: the image is now the logger's.
    void imageDownloaded();

private:
    // Advances the erase bar while the logger erases.
    void advanceEraseBar();

    WindowStateModel& model_;
    MainWidgets& widgets_;
    UiSeams& seams_;
    QWidget* window_;
    QPointer<QWidget> notice_;
    QTimer* eraseTicker_;
};

} // namespace veltrano
