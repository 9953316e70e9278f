#include "toolkit/services.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "text/display_encoding.h"

namespace tavrin {

const Text kDefaultMessageCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";  // "信息：", full-width colon

QString text_to_qstring(const Text& text) {
    // Plain ASCII reads the same in GB18030 and needs no converter; most
    // texts of the lesson list are links.
    if (text_is_ascii(text)) {
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    const std::string utf8 = gb18030_to_utf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Text qstring_to_text(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8_to_gb18030(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

namespace {

// A text for a multi-line box: every line end becomes the one line break Qt
// knows, so that the box shows a new line where the text has one.
QString to_multi_line(const Text& text) {
    QString lines = text_to_qstring(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

// The lines of a multi-line box joined by CR LF. A line break typed with
// Shift+Enter stays inside its block as a line separator; it is a line end
// all the same.
QString from_multi_line(const QTextDocument& document) {
    QString joined;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            joined += QStringLiteral("\r\n");
        }
        QString line = block.text();
        line.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
        joined += line;
    }
    return joined;
}

}  // namespace

void show_message(Desktop& desktop, const Text& text, int flags, const std::optional<Text>& caption) {
    static_cast<void>(flags);
    desktop.showInformation(text_to_qstring(text), text_to_qstring(caption.value_or(kDefaultMessageCaption)));
}

bool set_clipboard_text(Desktop& desktop, const Text& text) {
    desktop.setClipboardText(text_to_qstring(text));
    return true;
}

Text get_control_text(const QWidget* control) {
    if (const auto* line = qobject_cast<const QLineEdit*>(control)) {
        return qstring_to_text(line->text());
    }
    if (const auto* box = qobject_cast<const QPlainTextEdit*>(control)) {
        return qstring_to_text(from_multi_line(*box->document()));
    }
    return {};
}

void set_control_text(QWidget* control, const Text& text) {
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setText(text_to_qstring(text));
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
        box->setPlainText(to_multi_line(text));
    }
}

void append_edit_text(QPlainTextEdit* box, const Text& text) {
    if (box == nullptr) {
        return;
    }
    QTextDocument* document = box->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    box->setTextCursor(cursor);
    // Undo turned off for the insertion is what keeps it from being undone;
    // turning it off also empties the undo history.
    const bool undo_was_enabled = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    cursor.insertText(to_multi_line(text));
    document->setUndoRedoEnabled(undo_was_enabled);
    box->setTextCursor(cursor);
    box->ensureCursorVisible();
}

void open_url(Desktop& desktop, const Text& url) {
    desktop.openUrl(text_to_qstring(url));
}

}  // namespace tavrin
