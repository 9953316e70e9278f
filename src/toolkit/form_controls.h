#pragma once
// The controls of the main window that handlers read and write, and what a
// handler is given to do its work. The handlers of every folder take a
// HandlerContext, so none of them needs to know the window itself.

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace tavrin {

class Desktop;

struct FormControls {
    QWidget* window = nullptr;
    QLineEdit* courseUrlEdit = nullptr;   // 编辑框1
    QTableView* lessonList = nullptr;     // 超级列表框1
    QPlainTextEdit* queueEdit = nullptr;  // 编辑框2
    QPlainTextEdit* resultEdit = nullptr; // 编辑框3
    QPushButton* readButton = nullptr;    // 按钮_读取
    QPushButton* addButton = nullptr;     // 按钮_读取1
    QPushButton* parseButton = nullptr;   // 按钮_解析
    QPushButton* copyButton = nullptr;    // 按钮_解析1
};

struct HandlerContext {
    FormControls controls;
    Desktop& desktop;
};

}  // namespace tavrin
