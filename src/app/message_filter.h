#pragma once
// The keyboard and mouse rules of the main window. Every key and mouse event
// of the window and its controls passes this filter before the control sees
// it:
//   - Tab and Shift+Tab move the focus through a fixed order of controls,
//     wrapping at both ends;
//   - Esc closes the window, whichever control has the focus;
//   - Alt with a button's marked letter raises that button's click at once,
//     without pressing the button visibly or moving the focus;
//   - a bound mouse event runs its handler first, and the control then
//     handles the event as usual.
// Enter is left to the focused control: the multi-line boxes start a new
// line, and since no button is a default button nothing is clicked.
// Key events of a disabled control pass unfiltered.

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QAbstractButton;
class QKeyEvent;
class QWidget;

namespace tavrin {

class MessageFilter final : public QObject {
    Q_OBJECT

public:
    // Filters the events of `window` and of every widget inside it.
    explicit MessageFilter(QWidget* window);

    // The controls that Tab visits, in order. A control that is hidden,
    // disabled or takes no focus is passed over.
    void setTabOrder(std::vector<QWidget*> controls);

    // Alt with the letter that "&" marks in the button's caption runs
    // `click`. Buttons are searched in the order they were added.
    void addMnemonic(QAbstractButton* button, std::function<void()> click);

    // Runs `handler` when `receiver` gets a mouse event of `type` (a press or
    // a double-click) with `button`, before `receiver` handles it.
    void bindMouse(QWidget* receiver, QEvent::Type type, Qt::MouseButton button, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Mnemonic {
        QAbstractButton* button;
        std::function<void()> click;
    };
    struct MouseBinding {
        QWidget* receiver;
        QEvent::Type type;
        Qt::MouseButton button;
        std::function<void()> handler;
    };

    // Installs the filter on the widget and everything inside it.
    void watch(QWidget* widget);
    bool filterKey(QWidget* target, const QKeyEvent& event);
    void moveFocus(QWidget* from, bool forward);
    const Mnemonic* mnemonicFor(int key) const;

    QWidget* window_;
    std::vector<QWidget*> tabOrder_;
    std::vector<Mnemonic> mnemonics_;
    std::vector<MouseBinding> mouseBindings_;
    // The key event being delivered and where it arrived first. A key that
    // a widget leaves alone travels on to its parents as the same event; it
    // is filtered (or passed unfiltered) once, where it arrived first.
    const QEvent* deliveredKey_ = nullptr;
    QPointer<QWidget> deliveredTo_;
};

}  // namespace tavrin
