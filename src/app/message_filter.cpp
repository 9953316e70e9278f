#include "app/message_filter.h"

#include <QAbstractButton>
#include <QChildEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>

namespace tavrin {

namespace {

constexpr Qt::KeyboardModifiers kHeldModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool takes_tab_focus(const QWidget* control) {
    return control->isVisible() && control->isEnabled() && (control->focusPolicy() & Qt::TabFocus) != 0;
}

bool is_letter_or_digit(int key) {
    return (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
}

}  // namespace

MessageFilter::MessageFilter(QWidget* window) : QObject(window), window_(window) {
    watch(window);
}

void MessageFilter::watch(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

void MessageFilter::setTabOrder(std::vector<QWidget*> controls) {
    tabOrder_ = std::move(controls);
}

void MessageFilter::addMnemonic(QAbstractButton* button, std::function<void()> click) {
    mnemonics_.push_back(Mnemonic{button, std::move(click)});
}

void MessageFilter::bindMouse(QWidget* receiver, QEvent::Type type, Qt::MouseButton button,
                              std::function<void()> handler) {
    mouseBindings_.push_back(MouseBinding{receiver, type, button, std::move(handler)});
}

bool MessageFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* target = qobject_cast<QWidget*>(watched);
    if (target == nullptr) {
        return false;
    }
    switch (event->type()) {
    case QEvent::ChildAdded:
        // Widgets made later (a scroll bar shown for the first time) are
        // filtered like the rest.
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) {
            watch(child);
        }
        return false;
    case QEvent::KeyPress:
        if (event == deliveredKey_ && deliveredTo_ != nullptr && target != deliveredTo_ &&
            target->isAncestorOf(deliveredTo_)) {
            return false;
        }
        deliveredKey_ = event;
        deliveredTo_ = target;
        if (!target->isEnabled()) {
            return false;
        }
        return filterKey(target, *static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
        // The next press is a new event, wherever it lives.
        deliveredKey_ = nullptr;
        deliveredTo_ = nullptr;
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        for (const MouseBinding& binding : mouseBindings_) {
            if (binding.receiver == target && binding.type == event->type() && binding.button == mouse->button()) {
                if (binding.handler) {
                    binding.handler();
                }
            }
        }
        // The control handles the event after the handler has run.
        return false;
    }
    default:
        return false;
    }
}

bool MessageFilter::filterKey(QWidget* target, const QKeyEvent& event) {
    const Qt::KeyboardModifiers held = event.modifiers() & kHeldModifiers;
    const int key = event.key();

    // A desktop reports Shift+Tab as Backtab; a synthesised event may not.
    const bool next = key == Qt::Key_Tab && held == Qt::NoModifier;
    const bool previous = (key == Qt::Key_Backtab && (held == Qt::NoModifier || held == Qt::ShiftModifier)) ||
                          (key == Qt::Key_Tab && held == Qt::ShiftModifier);
    if (next || previous) {
        moveFocus(target, next);
        return true;
    }
    if (key == Qt::Key_Escape && held == Qt::NoModifier) {
        window_->close();
        return true;
    }
    if (held == Qt::AltModifier && is_letter_or_digit(key)) {
        if (const Mnemonic* mnemonic = mnemonicFor(key)) {
            if (mnemonic->click) {
                mnemonic->click();
            }
            return true;
        }
    }
    return false;
}

const MessageFilter::Mnemonic* MessageFilter::mnemonicFor(int key) const {
    for (const Mnemonic& mnemonic : mnemonics_) {
        const QAbstractButton* button = mnemonic.button;
        if (!button->isVisible() || !button->isEnabled()) {
            continue;
        }
        const QKeySequence marked = QKeySequence::mnemonic(button->text());
        if (!marked.isEmpty() && marked[0].key() == key) {
            return &mnemonic;
        }
    }
    return nullptr;
}

void MessageFilter::moveFocus(QWidget* from, bool forward) {
    const int count = static_cast<int>(tabOrder_.size());
    if (count == 0) {
        return;
    }
    // The control that holds the focus, or the one a focused part belongs to.
    int position = -1;
    for (QWidget* widget = from; widget != nullptr && position < 0; widget = widget->parentWidget()) {
        const auto found = std::find(tabOrder_.begin(), tabOrder_.end(), widget);
        if (found != tabOrder_.end()) {
            position = static_cast<int>(found - tabOrder_.begin());
        }
    }
    if (position < 0) {
        position = forward ? count - 1 : 0;
    }
    for (int step = 1; step <= count; ++step) {
        const int next = ((position + (forward ? step : -step)) % count + count) % count;
        QWidget* candidate = tabOrder_[static_cast<std::size_t>(next)];
        if (takes_tab_focus(candidate)) {
            candidate->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

}  // namespace tavrin
