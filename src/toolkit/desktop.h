#pragma once
// The one seam between the handlers and the desktop: message boxes, the
// clipboard and the browser. Tests put a recording fake in its place.

#include <QString>

namespace tavrin {

class Desktop {
public:
    virtual ~Desktop();

    // Blocks until the user has closed the box.
    virtual void showInformation(const QString& text, const QString& caption) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual void openUrl(const QString& url) = 0;
};

// The real desktop through Qt.
class QtDesktop final : public Desktop {
public:
    // An information box with OK alone. It has no parent and is modal to the
    // whole application, so the main window repaints but takes no input
    // until the box is closed. An empty caption leaves the title bar blank.
    void showInformation(const QString& text, const QString& caption) override;
    // Plain text; replaces whatever the clipboard held, in every format.
    void setClipboardText(const QString& text) override;
    // Hands the URL to the desktop's handler of its scheme; a failure is silent.
    void openUrl(const QString& url) override;
};

}  // namespace tavrin
