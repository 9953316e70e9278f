#pragma once
// The services through which the handlers reach the desktop and the edit
// boxes. Texts are GB18030 bytes; they are turned into Unicode here, at the
// edge of the toolkit, and nowhere else.

#include <optional>

#include "text/values.h"
#include "toolkit/desktop.h"

class QPlainTextEdit;
class QWidget;

namespace tavrin {

// The caption of a message box for which the caller names none: "信息：".
extern const Text kDefaultMessageCaption;

// The message-box style every caller passes: the information icon with the
// OK button alone.
inline constexpr int kInformationMessage = 64;

// Shows an information box and returns when the user has closed it. Without
// a caption the box is titled "信息："; a given caption is used as it is, so
// the empty text gives an empty title bar. `flags` is the message-box style
// word; the desktop seam shows the one style the program uses (information
// icon, OK alone), so every other style is shown the same way.
void show_message(Desktop& desktop, const Text& text, int flags = kInformationMessage,
                  const std::optional<Text>& caption = std::nullopt);

// Replaces the clipboard's contents with the text; the empty text leaves an
// empty text there. The desktop reports no failure, so the result is true.
bool set_clipboard_text(Desktop& desktop, const Text& text);

// The whole text of a QLineEdit or QPlainTextEdit, byte for byte. The lines of
// a multi-line box are separated by CR LF; a line end typed after the last
// line is kept, nothing is added. Any other widget gives the empty text.
Text get_control_text(const QWidget* control);

// Replaces the whole text of a QLineEdit or QPlainTextEdit. In a multi-line
// box each line end of the text (CR LF, or a lone CR or LF) starts a new line.
void set_control_text(QWidget* control, const Text& text);

// Adds the text at the end of the box: the caret goes after the last
// character, any selection is dropped, the text is inserted and the box
// scrolls to the caret. The user cannot undo the insertion. Qt records every
// change of a document for undo and cannot leave one out, so the insertion
// discards the box's undo history, as an insertion that cannot be undone
// discards the single undo level of a classic edit control.
void append_edit_text(QPlainTextEdit* box, const Text& text);

// Hands the URL to the desktop, which opens it with the default handler of
// its scheme (the browser for a web address). Failures are silent.
void open_url(Desktop& desktop, const Text& url);

// The conversions the services use, for widgets that show texts themselves.
QString text_to_qstring(const Text& text);
Text qstring_to_text(const QString& text);

}  // namespace tavrin
