// The lesson list: its columns and selection rules, and the list operations
// the handlers use.

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <vector>

#include "toolkit/lesson_list.h"
#include "toolkit/services.h"
#include "gb18030.h"

Q_DECLARE_METATYPE(tavrin::Text)
Q_DECLARE_METATYPE(std::vector<int>)

using tavrin::LessonList;
using tavrin::Text;
using tavrin::testing::gb;

namespace {

// A shown list with `rows` rows whose cells are "r<row>c<column>".
class FilledList {
public:
    explicit FilledList(int rows) {
        list.resize(300, 300);
        for (int row = 0; row < rows; ++row) {
            tavrin::list_insert_row(&list, -1, "r" + std::to_string(row) + "c0");
            for (int column = 1; column < 3; ++column) {
                tavrin::list_set_cell_text(&list, row, column, "r" + std::to_string(row) + "c" + std::to_string(column));
            }
        }
        list.show();
    }

    QPoint rowCentre(int row) const { return list.visualRect(list.model()->index(row, 0)).center(); }

    void select(const std::vector<int>& rows) {
        for (const int row : rows) {
            QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(row));
        }
    }

    LessonList list;
};

std::vector<Text> column_texts(const QTableView& list, int column) {
    std::vector<Text> texts;
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        texts.push_back(tavrin::list_get_cell_text(&list, row, column));
    }
    return texts;
}

}  // namespace

class LessonListTest : public QObject {
    Q_OBJECT

private slots:
    void columnsAndLook();
    void linkColumnOpensByDraggingItsDivider();
    void insertRow_data();
    void insertRow();
    void cellsKeepTheirBytes_data();
    void cellsKeepTheirBytes();
    void absentCellsChangeNothing();
    void selectedRowsAscending();
    void rightClickSelection_data();
    void rightClickSelection();
    void keyboardContextMenuIsNoRightClick();
    void appendManyRowsAtOnce();
    void clickingARowDoesNotScrollSideways();
};

void LessonListTest::columnsAndLook() {
    LessonList list;
    const QHeaderView* header = list.horizontalHeader();
    const QStringList titles{QStringLiteral("课次"), QStringLiteral("标题"), QStringLiteral("链接")};
    const int widths[] = {80, 220, 0};
    QCOMPARE(list.model()->columnCount(), 3);
    for (int column = 0; column < 3; ++column) {
        QCOMPARE(list.model()->headerData(column, Qt::Horizontal).toString(), titles[column]);
        QCOMPARE(header->sectionSize(column), widths[column]);
        QVERIFY(!header->isSectionHidden(column));
        QCOMPARE(header->sectionResizeMode(column), QHeaderView::Interactive);
    }
    QCOMPARE(header->minimumSectionSize(), 0);
    QVERIFY(header->defaultAlignment() & Qt::AlignLeft);
    QVERIFY(header->isVisible() || !list.isVisible());
    QVERIFY(!header->isHidden());
    QVERIFY(list.showGrid());
    QCOMPARE(list.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(list.editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!list.isSortingEnabled());
    QCOMPARE(list.palette().color(QPalette::Inactive, QPalette::Highlight),
             list.palette().color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(list.palette().color(QPalette::Inactive, QPalette::HighlightedText),
             list.palette().color(QPalette::Active, QPalette::HighlightedText));
    QCOMPARE(list.model()->rowCount(), 0);
}

void LessonListTest::linkColumnOpensByDraggingItsDivider() {
    FilledList filled(3);
    QVERIFY(QTest::qWaitForWindowExposed(&filled.list));
    LessonList& list = filled.list;
    QHeaderView* header = list.horizontalHeader();

    // The divider of the closed link column lies on the divider of the title
    // column; scroll until it is in view.
    list.horizontalScrollBar()->setValue(list.horizontalScrollBar()->maximum());
    const int divider = header->sectionViewportPosition(2) + header->sectionSize(2);
    QVERIFY(divider <= header->viewport()->width());
    const int y = header->height() / 2;

    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(divider - 1, y));
    QTest::mouseMove(header->viewport(), QPoint(divider + 59, y));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(divider + 59, y));

    QCOMPARE(header->sectionSize(2), 60);
    QCOMPARE(header->sectionSize(1), 220);
    QCOMPARE(header->sectionSize(0), 80);
}

void LessonListTest::insertRow_data() {
    QTest::addColumn<std::vector<int>>("positions");
    QTest::addColumn<std::vector<int>>("returned");
    QTest::addColumn<QString>("order");

    // Row i is inserted holding the letter a + i in column 0.
    QTest::newRow("appending with the next row number") << std::vector<int>{0, 1, 2} << std::vector<int>{0, 1, 2}
                                                         << QStringLiteral("abc");
    QTest::newRow("negative appends") << std::vector<int>{-1, -1, -5} << std::vector<int>{0, 1, 2} << QStringLiteral("abc");
    QTest::newRow("past the end appends") << std::vector<int>{7, 100, 3} << std::vector<int>{0, 1, 2}
                                          << QStringLiteral("abc");
    QTest::newRow("inserting in front and between") << std::vector<int>{0, 0, 1} << std::vector<int>{0, 0, 1}
                                                    << QStringLiteral("bca");
}

void LessonListTest::insertRow() {
    QFETCH(std::vector<int>, positions);
    QFETCH(std::vector<int>, returned);
    QFETCH(QString, order);

    LessonList list;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const Text letter(1, static_cast<char>('a' + i));
        QCOMPARE(tavrin::list_insert_row(&list, positions[i], letter), returned[i]);
        // A new row's other cells are empty.
        QCOMPARE(tavrin::list_get_cell_text(&list, returned[i], 1), Text());
        QCOMPARE(tavrin::list_get_cell_text(&list, returned[i], 2), Text());
    }
    Text joined;
    for (const Text& cell : column_texts(list, 0)) {
        joined += cell;
    }
    QCOMPARE(QString::fromStdString(joined), order);

    QTableView notALessonList;
    QCOMPARE(tavrin::list_insert_row(&notALessonList, 0, "x"), -1);
}

void LessonListTest::cellsKeepTheirBytes_data() {
    QTest::addColumn<Text>("text");
    QTest::addColumn<QString>("shown");

    const QString longLink = QStringLiteral("http://www.tavrin.com/lesson/") + QString(571, QLatin1Char('x'));
    QTest::newRow("a link of 600 bytes") << Text(longLink.toStdString()) << longLink;
    QTest::newRow("Chinese title") << gb("第一课：入门") << QStringLiteral("第一课：入门");
    QTest::newRow("600 bytes of Chinese") << gb(QString(300, QChar(0x8BFE)).toStdString()) << QString(300, QChar(0x8BFE));
    QTest::newRow("bytes that are not GB18030") << Text("a\xFF" "b") << QStringLiteral("a\uFFFDb");
    QTest::newRow("a title over a line break") << Text("one\r\ntwo") << QStringLiteral("one\r\ntwo");
    QTest::newRow("empty") << Text() << QString();
}

void LessonListTest::cellsKeepTheirBytes() {
    QFETCH(Text, text);
    QFETCH(QString, shown);

    LessonList list;
    tavrin::list_insert_row(&list, -1, "first");
    const int row = tavrin::list_insert_row(&list, -1, text);
    tavrin::list_set_cell_text(&list, row, 2, text);

    QCOMPARE(tavrin::list_get_cell_text(&list, row), text);
    QCOMPARE(tavrin::list_get_cell_text(&list, row, 2), text);
    QCOMPARE(list.model()->index(row, 2).data().toString(), shown);
    QCOMPARE(tavrin::list_get_cell_text(&list, 0), Text("first"));
}

void LessonListTest::absentCellsChangeNothing() {
    LessonList list;
    tavrin::list_insert_row(&list, -1, "a");
    tavrin::list_set_cell_text(&list, 0, 2, "link");
    QSignalSpy changed(list.model(), &QAbstractItemModel::dataChanged);

    for (const auto& [row, column] : std::vector<std::pair<int, int>>{{-1, 0}, {1, 0}, {100, 2}, {0, 3}, {0, -1}}) {
        tavrin::list_set_cell_text(&list, row, column, "changed");
        QCOMPARE(tavrin::list_get_cell_text(&list, row, column), Text());
    }
    QCOMPARE(changed.count(), 0);
    QCOMPARE(list.model()->rowCount(), 1);
    QCOMPARE(column_texts(list, 0), std::vector<Text>{"a"});
    QCOMPARE(column_texts(list, 2), std::vector<Text>{"link"});
}

void LessonListTest::selectedRowsAscending() {
    FilledList filled(12);
    QVERIFY(QTest::qWaitForWindowExposed(&filled.list));
    LessonList& list = filled.list;

    QCOMPARE(tavrin::list_selected_rows(&list), std::vector<int>{});
    QCOMPARE(tavrin::list_first_selected_row(&list), -1);

    filled.select({5, 2, 9});
    QCOMPARE(tavrin::list_selected_rows(&list), (std::vector<int>{2, 5, 9}));
    // The first selected row is the topmost one, not the current row.
    QCOMPARE(list.currentIndex().row(), 9);
    QCOMPARE(tavrin::list_first_selected_row(&list), 2);

    // Ctrl+click on a selected row takes it out again.
    filled.select({2});
    QCOMPARE(tavrin::list_selected_rows(&list), (std::vector<int>{5, 9}));
    QCOMPARE(tavrin::list_first_selected_row(&list), 5);

    // A plain click selects one row alone; Shift extends from it.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, filled.rowCentre(8));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, filled.rowCentre(4));
    QCOMPARE(tavrin::list_selected_rows(&list), (std::vector<int>{4, 5, 6, 7, 8}));
    QCOMPARE(tavrin::list_first_selected_row(&list), 4);
}

void LessonListTest::rightClickSelection_data() {
    QTest::addColumn<std::vector<int>>("selectedBefore");
    QTest::addColumn<int>("pressedRow");  // -1: empty space below the rows
    QTest::addColumn<std::vector<int>>("selectedAtClick");

    QTest::newRow("unselected row, none selected") << std::vector<int>{} << 3 << std::vector<int>{3};
    QTest::newRow("unselected row, others selected") << std::vector<int>{1, 3, 5} << 4 << std::vector<int>{4};
    QTest::newRow("one of several selected rows") << std::vector<int>{1, 3, 5} << 3 << std::vector<int>{1, 3, 5};
    QTest::newRow("the one selected row") << std::vector<int>{2} << 2 << std::vector<int>{2};
    QTest::newRow("empty space") << std::vector<int>{2, 4} << -1 << std::vector<int>{};
}

void LessonListTest::rightClickSelection() {
    QFETCH(std::vector<int>, selectedBefore);
    QFETCH(int, pressedRow);
    QFETCH(std::vector<int>, selectedAtClick);

    FilledList filled(6);
    QVERIFY(QTest::qWaitForWindowExposed(&filled.list));
    LessonList& list = filled.list;
    filled.select(selectedBefore);
    QCOMPARE(tavrin::list_selected_rows(&list), selectedBefore);

    std::vector<std::vector<int>> seenByHandler;
    connect(&list, &LessonList::rightClicked, &list,
            [&] { seenByHandler.push_back(tavrin::list_selected_rows(&list)); });

    const QPoint at = pressedRow >= 0 ? filled.rowCentre(pressedRow) : QPoint(20, list.viewport()->height() - 5);
    QVERIFY(pressedRow >= 0 || !list.indexAt(at).isValid());
    QTest::mousePress(list.viewport(), Qt::RightButton, {}, at);
    QVERIFY(seenByHandler.empty());
    // A desktop follows the right press with a context-menu request.
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, list.viewport()->mapToGlobal(at));
    QApplication::sendEvent(list.viewport(), &request);
    QTest::mouseRelease(list.viewport(), Qt::RightButton, {}, at);

    QCOMPARE(seenByHandler.size(), std::size_t{1});
    QCOMPARE(seenByHandler[0], selectedAtClick);
    QCOMPARE(tavrin::list_selected_rows(&list), selectedAtClick);
}

void LessonListTest::keyboardContextMenuIsNoRightClick() {
    FilledList filled(3);
    QVERIFY(QTest::qWaitForWindowExposed(&filled.list));
    QSignalSpy rightClicks(&filled.list, &LessonList::rightClicked);

    const QPoint at = filled.rowCentre(1);
    QContextMenuEvent request(QContextMenuEvent::Keyboard, at, filled.list.viewport()->mapToGlobal(at));
    QApplication::sendEvent(filled.list.viewport(), &request);

    QCOMPARE(rightClicks.count(), 0);
}

void LessonListTest::appendManyRowsAtOnce() {
    LessonList list;
    tavrin::list_insert_row(&list, -1, "before");
    QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);

    constexpr int kRows = 20000;
    std::vector<std::array<Text, 3>> rows;
    for (int row = 0; row < kRows; ++row) {
        rows.push_back({std::to_string(row), gb("标题") + std::to_string(row),
                        "http://www.tavrin.com/lesson/" + std::to_string(row)});
    }
    tavrin::list_append_rows(&list, rows);

    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted[0][1].toInt(), 1);
    QCOMPARE(inserted[0][2].toInt(), kRows);
    QCOMPARE(list.model()->rowCount(), kRows + 1);
    QCOMPARE(tavrin::list_get_cell_text(&list, kRows, 0), Text("19999"));
    QCOMPARE(tavrin::list_get_cell_text(&list, kRows, 1), gb("标题19999"));
    QCOMPARE(tavrin::list_get_cell_text(&list, kRows, 2), Text("http://www.tavrin.com/lesson/19999"));

    tavrin::list_append_rows(&list, {});
    QCOMPARE(inserted.count(), 1);
}

QTEST_MAIN(LessonListTest)
#include "lesson_list_test.moc"

void LessonListTest::clickingARowDoesNotScrollSideways() {
    FilledList filled(30);
    LessonList& list = filled.list;
    list.resize(300, 150);  // the columns are wider than the list, as in the window
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QVERIFY(list.horizontalScrollBar()->maximum() > 0);
    list.horizontalScrollBar()->setValue(0);

    const QPoint titleCell = list.visualRect(list.model()->index(1, 1)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, titleCell);
    QCOMPARE(tavrin::list_first_selected_row(&list), 1);
    QCOMPARE(list.horizontalScrollBar()->value(), 0);

    // Moving down the list still brings the current row into view.
    for (int step = 0; step < 25; ++step) {
        QTest::keyClick(list.viewport(), Qt::Key_Down);
    }
    QVERIFY(list.verticalScrollBar()->value() > 0);
    QCOMPARE(list.horizontalScrollBar()->value(), 0);
}
