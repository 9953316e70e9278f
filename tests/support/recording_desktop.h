#pragma once
// A desktop that records what it was asked to do instead of doing it:
// messages with their captions, clipboard texts and opened URLs.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "toolkit/desktop.h"

namespace tavrin::testing {

class RecordingDesktop final : public Desktop {
public:
    struct Message {
        QString text;
        QString caption;
    };

    void showInformation(const QString& text, const QString& caption) override {
        messages.push_back(Message{text, caption});
        if (onMessage) {
            onMessage();
        }
    }
    void setClipboardText(const QString& text) override { clipboardTexts.append(text); }
    void openUrl(const QString& url) override { openedUrls.append(url); }

    std::vector<Message> messages;
    QStringList clipboardTexts;
    QStringList openedUrls;
    // Runs while a message is "shown", as the user would act in a real box.
    std::function<void()> onMessage;
};

}  // namespace tavrin::testing
