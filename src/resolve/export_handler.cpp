#include "resolve/export_handler.h"

#include <QPlainTextEdit>

#include "text/display_encoding.h"
#include "toolkit/services.h"

namespace tavrin {

void copy_results(HandlerContext& context) {
    // Byte for byte, blank entries included: the user pastes the addresses
    // as they stand in the box.
    set_clipboard_text(context.desktop, get_control_text(context.controls.resultEdit));
    show_message(context.desktop, utf8_to_gb18030("下载地址已复制到剪切板!  "));
}

}  // namespace tavrin
