#include "toolkit/desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

namespace tavrin {

Desktop::~Desktop() = default;

void QtDesktop::showInformation(const QString& text, const QString& caption) {
    // Desktops put the program's name on a window whose title is empty; a
    // title of one space leaves the title bar blank, as asked.
    const QString title = caption.isEmpty() ? QStringLiteral(" ") : caption;
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void QtDesktop::setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void QtDesktop::openUrl(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

}  // namespace tavrin
