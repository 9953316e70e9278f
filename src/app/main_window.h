#pragma once
// The one window of the program: four numbered labels that tell the steps of
// the work, the course URL box, the lesson list, the queue and result boxes
// and four buttons, each at a fixed place.

#include <QMargins>
#include <QWidget>

#include "app/window_handlers.h"
#include "listing/site.h"
#include "toolkit/form_controls.h"

namespace tavrin {

class MessageFilter;

class MainWindow final : public QWidget {
    Q_OBJECT

public:
    // The size of the window with its frame and title bar.
    static constexpr QSize kOuterSize{646, 432};

    // The window keeps `site` and `desktop` by reference; both must outlive it.
    MainWindow(const Site& site, Desktop& desktop, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setHandlers(WindowHandlers handlers);

    HandlerContext& handlerContext() { return context_; }
    const FormControls& controls() const { return context_.controls; }

protected:
    bool event(QEvent* event) override;

private:
    void createControls();
    void wireEvents();
    // Sizes the client area so that the outer size is kOuterSize with the
    // frame the desktop draws, and centres the window on its screen. The
    // frame is known only once the window is shown, and it is looked at
    // again whenever it may have changed.
    void fitToFrame();

    const Site& site_;
    HandlerContext context_;
    WindowHandlers handlers_;
    MessageFilter* filter_ = nullptr;
    QMargins fittedFrame_;
    bool fitted_ = false;
};

}  // namespace tavrin
