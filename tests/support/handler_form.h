#pragma once
// The controls that the handlers work on, without the main window around
// them: the course URL box, the lesson list, the queue and the result box.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include "support/recording_desktop.h"
#include "text/display_encoding.h"
#include "toolkit/form_controls.h"
#include "toolkit/lesson_list.h"
#include "toolkit/services.h"

namespace tavrin::testing {

class HandlerForm {
public:
    HandlerForm()
        : courseUrlEdit(new QLineEdit(&window)),
          lessonList(new LessonList(&window)),
          queueEdit(new QPlainTextEdit(&window)),
          resultEdit(new QPlainTextEdit(&window)),
          context{FormControls{&window, courseUrlEdit, lessonList, queueEdit, resultEdit}, desktop} {
        window.setWindowTitle(QStringLiteral("Tavrin -> 课程地址解析"));
        lessonList->setGeometry(0, 0, 300, 150);
        queueEdit->setGeometry(0, 160, 300, 100);
        resultEdit->setGeometry(310, 0, 300, 260);
        courseUrlEdit->setGeometry(310, 270, 300, 20);
        window.resize(620, 300);
    }

    // Texts of the controls, in the program's GB18030.
    Text queue() const { return get_control_text(queueEdit); }
    Text results() const { return get_control_text(resultEdit); }
    void setQueue(const Text& text) { set_control_text(queueEdit, text); }
    void setCourseUrl(const Text& text) { set_control_text(courseUrlEdit, text); }

    // The texts of the messages shown so far, in the program's GB18030.
    std::vector<Text> messageTexts() const {
        std::vector<Text> texts;
        for (const auto& message : desktop.messages) {
            texts.push_back(utf8_to_gb18030(message.text.toStdString()));
        }
        return texts;
    }

    RecordingDesktop desktop;
    QWidget window;
    QLineEdit* courseUrlEdit;
    LessonList* lessonList;
    QPlainTextEdit* queueEdit;
    QPlainTextEdit* resultEdit;
    HandlerContext context;
};

}  // namespace tavrin::testing
