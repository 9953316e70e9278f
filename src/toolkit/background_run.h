#pragma once
// Running a handler's slow work off the window's thread.
//
// The window's thread waits in a local event loop, so the window keeps
// repainting while the job works. User input to every window is held back for
// the whole run, so no other handler can start (handlers never overlap). When
// the run takes longer than `kDialogDelay`, a modal progress dialog shows what
// is happening and lets the user cancel; a run that ends sooner looks exactly
// like a run on the window's own thread.

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class QProgressBar;
class QProgressDialog;
class QWidget;

namespace tavrin {

inline constexpr std::chrono::milliseconds kDialogDelay{500};

// What the job sees of its run. Safe to use from the job's thread.
class RunControl {
public:
    virtual ~RunControl() = default;
    // Runs `task` on the window's thread, after every task posted before it.
    // Tasks posted after the user cancelled are dropped.
    virtual void post(std::function<void()> task) = 0;
    virtual bool cancelled() const = 0;
};

class BackgroundRun : public QObject {
    Q_OBJECT
public:
    // `onCancel` runs on the window's thread when the user cancels; it must make
    // the job return soon (for example by cancelling its fetches).
    BackgroundRun(QWidget* window, QString dialogTitle, std::function<void()> onCancel = {});
    ~BackgroundRun() override;

    // Runs `job` on a worker thread and returns when it has returned and every
    // task it posted has run. False when the user cancelled.
    bool exec(std::function<void(RunControl&)> job);

    // Dialog content, called from the window's thread (from posted tasks).
    void setBusy(const QString& label);
    void setProgress(int done, int total, const QString& label);

    // The dialog, once shown; null before. For tests and for the handler's tests.
    QProgressDialog* dialog() const { return dialog_; }
    bool dialogShown() const { return dialog_ != nullptr; }

signals:
    void dialogShownChanged();

private:
    class Control;
    void showDialog();
    void applyDialogContent();
    void cancelByUser();

    QWidget* window_;
    QString dialogTitle_;
    std::function<void()> onCancel_;
    QProgressDialog* dialog_ = nullptr;
    QProgressBar* bar_ = nullptr;  // the dialog's, set without processing events
    std::shared_ptr<std::atomic<bool>> cancelled_;
    QString label_;
    int done_ = 0;
    int total_ = 0;  // 0: no known total, a busy bar
};

}  // namespace tavrin
