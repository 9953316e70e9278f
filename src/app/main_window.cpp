#include "app/main_window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "app/message_filter.h"
#include "app/url_box_shortcuts.h"
#include "toolkit/lesson_list.h"
#include "toolkit/services.h"

namespace tavrin {

namespace {

void place(QWidget* control, const QString& formName, const QRect& geometry) {
    control->setObjectName(formName);
    control->setGeometry(geometry);
}

QLabel* make_label(QWidget* window, const QString& formName, const QRect& geometry, const QString& text,
                   const QColor& colour = Qt::black) {
    auto* label = new QLabel(text, window);
    place(label, formName, geometry);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setWordWrap(false);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    return label;
}

QPushButton* make_button(QWidget* window, const QString& formName, const QRect& geometry, const QString& text) {
    auto* button = new QPushButton(text, window);
    place(button, formName, geometry);
    // No button is a default button, so Enter clicks none of them.
    button->setAutoDefault(false);
    button->setDefault(false);
    // Alt with the marked letter belongs to the window's key filter, which
    // raises the click without pressing the button; Qt's own shortcut for
    // the letter would raise it a second time.
    button->setShortcut(QKeySequence());
    return button;
}

// Black on white, and a selection that is hidden while the box does not
// have the focus.
void set_edit_colours(QWidget* box) {
    QPalette colours = box->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    colours.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    box->setPalette(colours);
}

QLineEdit* make_line_edit(QWidget* window, const QString& formName, const QRect& geometry) {
    auto* box = new QLineEdit(window);
    place(box, formName, geometry);
    // No limit of the program's own; Qt's default would cut a long URL.
    box->setMaxLength(std::numeric_limits<int>::max());
    set_edit_colours(box);
    return box;
}

QPlainTextEdit* make_multi_line_edit(QWidget* window, const QString& formName, const QRect& geometry) {
    auto* box = new QPlainTextEdit(window);
    place(box, formName, geometry);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // Tab moves the focus; Enter starts a new line.
    box->setTabChangesFocus(true);
    set_edit_colours(box);
    return box;
}

}  // namespace

MainWindow::MainWindow(const Site& site, Desktop& desktop, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      site_(site),
      context_{FormControls{}, desktop} {
    setWindowTitle(QStringLiteral("Tavrin -> 课程地址解析"));
    setWindowIcon(QIcon(QStringLiteral(":/tavrin-links.svg")));
    setFixedSize(kOuterSize);

    createControls();
    wireEvents();

    // The list has the focus when the window first shows. Later activations
    // give the focus back to the control that last had it.
    context_.controls.lessonList->setFocus(Qt::OtherFocusReason);
    fitToFrame();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls() {
    FormControls& controls = context_.controls;
    controls.window = this;

    // In the window's reading order: left column top to bottom, then right.
    make_label(this, QStringLiteral("标签1"), {10, 10, 200, 20}, QStringLiteral("①请输入课程所在页面网址"));
    controls.courseUrlEdit = make_line_edit(this, QStringLiteral("编辑框1"), {10, 35, 230, 20});
    controls.readButton = make_button(this, QStringLiteral("按钮_读取"), {250, 35, 60, 20}, QStringLiteral("读取(&R)"));
    make_label(this, QStringLiteral("标签2"), {10, 70, 200, 20}, QStringLiteral("②右击添加需要解析的列表"));
    controls.addButton = make_button(this, QStringLiteral("按钮_读取1"), {250, 70, 60, 20}, QStringLiteral("添加(&A)"));
    auto* lessonList = new LessonList(this);
    place(lessonList, QStringLiteral("超级列表框1"), {10, 95, 300, 150});
    controls.lessonList = lessonList;
    make_label(this, QStringLiteral("标签3"), {10, 260, 200, 20}, QStringLiteral("③等待解析的列表："));
    controls.parseButton = make_button(this, QStringLiteral("按钮_解析"), {250, 260, 60, 20}, QStringLiteral("解析(&P)"));
    controls.queueEdit = make_multi_line_edit(this, QStringLiteral("编辑框2"), {10, 285, 300, 100});
    make_label(this, QStringLiteral("标签4"), {325, 10, 200, 20}, QStringLiteral("④解析结果："), QColor(255, 0, 0));
    controls.copyButton = make_button(this, QStringLiteral("按钮_解析1"), {565, 10, 60, 20}, QStringLiteral("复制(&C)"));
    controls.resultEdit = make_multi_line_edit(this, QStringLiteral("编辑框3"), {325, 34, 300, 350});

    set_control_text(controls.courseUrlEdit, default_course_url(site_));
}

void MainWindow::wireEvents() {
    const FormControls& controls = context_.controls;
    auto* lessonList = static_cast<LessonList*>(controls.lessonList);

    const std::vector<QWidget*> tabOrder{controls.lessonList, controls.courseUrlEdit, controls.readButton,
                                         controls.queueEdit,  controls.parseButton,   controls.resultEdit,
                                         controls.addButton,  controls.copyButton};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    filter_ = new MessageFilter(this);
    filter_->setTabOrder(tabOrder);

    const auto raise = [this](std::function<void()> WindowHandlers::*handler) {
        return [this, handler] {
            // A copy, so that a handler may replace the handlers while it runs.
            const std::function<void()> run = handlers_.*handler;
            if (run) {
                run();
            }
        };
    };
    const std::pair<QPushButton*, std::function<void()> WindowHandlers::*> buttons[] = {
        {controls.readButton, &WindowHandlers::read},
        {controls.addButton, &WindowHandlers::add},
        {controls.parseButton, &WindowHandlers::parse},
        {controls.copyButton, &WindowHandlers::copy},
    };
    for (const auto& [button, handler] : buttons) {
        connect(button, &QPushButton::clicked, this, raise(handler));
        filter_->addMnemonic(button, raise(handler));
    }
    connect(lessonList, &LessonList::rightClicked, this, raise(&WindowHandlers::listRightClicked));
    filter_->bindMouse(lessonList->viewport(), QEvent::MouseButtonDblClick, Qt::LeftButton,
                       raise(&WindowHandlers::listDoubleClicked));

    filter_->bindMouse(controls.courseUrlEdit, QEvent::MouseButtonPress, Qt::LeftButton,
                       [this] { clear_course_url(context_); });
    filter_->bindMouse(controls.courseUrlEdit, QEvent::MouseButtonDblClick, Qt::LeftButton,
                       [this] { open_lesson_index(context_, site_); });
}

void MainWindow::setHandlers(WindowHandlers handlers) {
    handlers_ = std::move(handlers);
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        fitToFrame();
        break;
    default:
        break;
    }
    return handled;
}

void MainWindow::fitToFrame() {
    const QRect outer = frameGeometry();
    const QRect client = geometry();
    const QMargins frame(client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
                         outer.bottom() - client.bottom());
    if (fitted_ && frame == fittedFrame_) {
        return;
    }
    fitted_ = true;
    fittedFrame_ = frame;

    // Without a frame (none drawn, or none known yet) the client area is the
    // whole window.
    const QSize clientSize(std::max(1, kOuterSize.width() - frame.left() - frame.right()),
                           std::max(1, kOuterSize.height() - frame.top() - frame.bottom()));
    setFixedSize(clientSize);

    const QScreen* shownOn = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shownOn == nullptr) {
        return;
    }
    const QRect area = shownOn->geometry();
    const QSize outerSize = clientSize.grownBy(frame);
    move(area.left() + (area.width() - outerSize.width()) / 2, area.top() + (area.height() - outerSize.height()) / 2);
}

}  // namespace tavrin
