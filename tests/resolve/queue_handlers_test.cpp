// Filling the queue from the lesson list, and opening a lesson.

#include <QItemSelectionModel>
#include <QTest>

#include <string>

#include "resolve/queue_handlers.h"
#include "support/handler_form.h"

using namespace tavrin;
using tavrin::testing::HandlerForm;

namespace {

Text link_of(int row) { return "http://www.tavrin.com/lesson/" + std::to_string(900 + row); }

void fill_rows(HandlerForm& form, int count) {
    std::vector<std::array<Text, 3>> rows;
    for (int row = 0; row < count; ++row) {
        rows.push_back({std::to_string(row), "title", link_of(row)});
    }
    list_append_rows(form.lessonList, std::move(rows));
}

// Selects the rows one after another, each added to the selection.
void select_rows(HandlerForm& form, std::initializer_list<int> rows) {
    auto* selection = form.lessonList->selectionModel();
    for (const int row : rows) {
        selection->select(form.lessonList->model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

}  // namespace

class QueueHandlersTest : public QObject {
    Q_OBJECT

private slots:
    void rightClickQueuesTheTopmostSelectedRow() {
        HandlerForm form;
        fill_rows(form, 10);
        form.setQueue("typed by hand\r\n");
        select_rows(form, {7, 3, 5});
        queue_clicked_lesson(form.context);
        QCOMPARE(form.queue(), "typed by hand\r\n" + link_of(3) + "\r\n");
    }

    void rightClickWithNothingSelectedQueuesNothing() {
        HandlerForm form;
        fill_rows(form, 3);
        form.setQueue("x");
        queue_clicked_lesson(form.context);
        QCOMPARE(form.queue(), Text("x"));
    }

    void addQueuesEverySelectedRowInAscendingOrder() {
        HandlerForm form;
        fill_rows(form, 10);
        select_rows(form, {5, 2, 9});
        queue_selected_lessons(form.context);
        QCOMPARE(form.queue(), link_of(2) + "\r\n" + link_of(5) + "\r\n" + link_of(9) + "\r\n");
    }

    void addWithNothingSelectedChangesNothing() {
        HandlerForm form;
        fill_rows(form, 3);
        queue_selected_lessons(form.context);
        QCOMPARE(form.queue(), Text());
        QVERIFY(form.desktop.messages.empty());
    }

    void theSameRowTwiceGivesTwoLines() {
        HandlerForm form;
        fill_rows(form, 2);
        select_rows(form, {1});
        queue_clicked_lesson(form.context);
        queue_clicked_lesson(form.context);
        QCOMPARE(form.queue(), link_of(1) + "\r\n" + link_of(1) + "\r\n");
    }

    void aLongLinkIsQueuedWhole() {
        HandlerForm form;
        const Text long_link = "http://www.tavrin.com/lesson/" + std::string(600, 'x');
        list_append_rows(form.lessonList, {{"1", "long", long_link}});
        select_rows(form, {0});
        queue_selected_lessons(form.context);
        QCOMPARE(form.queue(), long_link + "\r\n");
    }

    void doubleClickOpensTheSelectedLessonOnceAndLeavesTheQueue() {
        HandlerForm form;
        fill_rows(form, 4);
        form.setQueue("q\r\n");
        open_selected_lesson(form.context);  // nothing selected: nothing opens
        QVERIFY(form.desktop.openedUrls.isEmpty());
        select_rows(form, {2});
        open_selected_lesson(form.context);
        QCOMPARE(form.desktop.openedUrls, QStringList{QString::fromStdString(link_of(2))});
        QCOMPARE(form.queue(), Text("q\r\n"));
    }
};

QTEST_MAIN(QueueHandlersTest)
#include "queue_handlers_test.moc"
