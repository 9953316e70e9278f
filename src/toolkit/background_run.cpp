#include "toolkit/background_run.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <exception>
#include <thread>

namespace tavrin {

namespace {

// Holds back user input (keys, mouse, wheel, closing) to every widget except
// the progress dialog while a run is under way.
class InputBlocker final : public QObject {
public:
    explicit InputBlocker(const QPointer<QProgressDialog>* dialog) : dialog_(dialog) {
        qApp->installEventFilter(this);
    }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Input reaches a widget through its window; holding it back at the
        // widget is enough, and lets the dialog's own window pass it on.
        if (!watched->isWidgetType() || !isUserInput(event->type())) {
            return false;
        }
        const QProgressDialog* dialog = dialog_->data();
        if (dialog != nullptr) {
            for (QObject* object = watched; object != nullptr; object = object->parent()) {
                if (object == dialog) {
                    return false;
                }
            }
        }
        if (event->type() == QEvent::Close) {
            event->ignore();
        }
        return true;
    }

private:
    static bool isUserInput(QEvent::Type type) {
        switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Close:
            return true;
        default:
            return false;
        }
    }

    const QPointer<QProgressDialog>* dialog_;
};

}  // namespace

class BackgroundRun::Control final : public RunControl {
public:
    Control(BackgroundRun* run, std::shared_ptr<std::atomic<bool>> cancelled)
        : run_(run), cancelled_(std::move(cancelled)) {}

    void post(std::function<void()> task) override {
        auto cancelled = cancelled_;
        QMetaObject::invokeMethod(
            run_,
            [task = std::move(task), cancelled] {
                if (!cancelled->load()) {
                    task();
                }
            },
            Qt::QueuedConnection);
    }

    bool cancelled() const override { return cancelled_->load(); }

private:
    BackgroundRun* run_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
};

BackgroundRun::BackgroundRun(QWidget* window, QString dialogTitle, std::function<void()> onCancel)
    : window_(window),
      dialogTitle_(std::move(dialogTitle)),
      onCancel_(std::move(onCancel)),
      cancelled_(std::make_shared<std::atomic<bool>>(false)) {}

BackgroundRun::~BackgroundRun() { delete dialog_; }

bool BackgroundRun::exec(std::function<void(RunControl&)> job) {
    QPointer<QProgressDialog> dialogGuard;
    InputBlocker blocker(&dialogGuard);
    QEventLoop loop;
    Control control(this, cancelled_);

    QTimer dialogTimer;
    dialogTimer.setSingleShot(true);
    connect(&dialogTimer, &QTimer::timeout, this, [this, &dialogGuard] {
        showDialog();
        dialogGuard = dialog_;
    });
    dialogTimer.start(kDialogDelay);

    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            job(control);
        } catch (...) {
            // Handed to the window's thread, where running out of storage is
            // reported like anywhere else in the program.
            failure = std::current_exception();
        }
        // Queued after every task the job posted, so those run first.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    dialogTimer.stop();
    if (dialog_ != nullptr) {
        dialog_->hide();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return !cancelled_->load();
}

void BackgroundRun::setBusy(const QString& label) {
    label_ = label;
    done_ = 0;
    total_ = 0;
    applyDialogContent();
}

void BackgroundRun::setProgress(int done, int total, const QString& label) {
    label_ = label;
    done_ = done;
    total_ = total;
    applyDialogContent();
}

void BackgroundRun::showDialog() {
    dialog_ = new QProgressDialog(window_);
    dialog_->setWindowTitle(dialogTitle_);
    dialog_->setCancelButtonText(QStringLiteral("取消"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setMinimumWidth(420);
    // The bar is set directly: QProgressDialog::setValue would process events
    // of a modal dialog, running the job's later tasks inside an earlier one.
    bar_ = new QProgressBar(dialog_);
    dialog_->setBar(bar_);
    connect(dialog_, &QProgressDialog::canceled, this, &BackgroundRun::cancelByUser);
    // Esc reaches the dialog as a rejection, not as its cancel shortcut, when
    // the dialog is not the active window yet; it would hide the dialog and
    // leave the run going. Either way the user asked to stop.
    connect(dialog_, &QDialog::rejected, this, &BackgroundRun::cancelByUser);
    applyDialogContent();
    dialog_->show();
    emit dialogShownChanged();
}

void BackgroundRun::applyDialogContent() {
    if (dialog_ == nullptr) {
        return;
    }
    dialog_->setLabelText(label_);
    bar_->setRange(0, total_);
    bar_->setValue(total_ == 0 ? 0 : done_);
}

void BackgroundRun::cancelByUser() {
    if (cancelled_->exchange(true)) {
        return;
    }
    if (onCancel_) {
        onCancel_();
    }
}

}  // namespace tavrin
