#pragma once
// The system clipboard for real; messages and opened URLs only recorded, so
// that no message box waits for a click.

#include <QStringList>

#include "toolkit/desktop.h"

namespace tavrin::testing {

class RealClipboardDesktop final : public Desktop {
public:
    void showInformation(const QString& text, const QString&) override { messages.append(text); }
    void setClipboardText(const QString& text) override { clipboard_.setClipboardText(text); }
    void openUrl(const QString& url) override { openedUrls.append(url); }

    QStringList messages;
    QStringList openedUrls;

private:
    QtDesktop clipboard_;
};

}  // namespace tavrin::testing
