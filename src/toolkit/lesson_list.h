#pragma once
// The lesson list: a report-style table of lesson number, title and link,
// and the operations the handlers use on it. Rows are numbered from 0.

#include <QTableView>

#include <array>
#include <vector>

#include "text/values.h"
#include "toolkit/lesson_list_model.h"

namespace tavrin {

class LessonList final : public QTableView {
    Q_OBJECT

public:
    // Width of each column when the list is first shown; the link column is
    // there but closed until the user drags its divider open.
    static constexpr std::array<int, LessonListModel::kColumnCount> kColumnWidths{80, 220, 0};

    explicit LessonList(QWidget* parent = nullptr);

    LessonListModel* lessonModel() const { return model_; }

    // Brings the row into view without scrolling sideways: a click on a row
    // selects the lesson, not one of its cells.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    // The list's own right click, raised once the press has updated the
    // selection: a press on a row that was not selected leaves that row
    // alone selected, a press on a selected row keeps the selection, and a
    // press on empty space leaves no row selected.
    void rightClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    LessonListModel* model_;
};

// Inserts a row whose column 0 holds the text. A position of 0 or more
// inserts there (past the last row it appends); a negative one appends.
// Returns the new row's number, or -1 when the list refuses the row.
int list_insert_row(QTableView* list, int position, const Text& column0);

// Sets one cell; a row or column that does not exist changes nothing.
void list_set_cell_text(QTableView* list, int row, int column, const Text& text);

// The lowest selected row, or -1 when no row is selected. It is neither the
// current row nor the row under the pointer.
int list_first_selected_row(const QTableView* list);

// The whole text of a cell; a cell of a row that does not exist (-1 among
// them) gives the empty text.
Text list_get_cell_text(const QTableView* list, int row, int column = 0);

// Every selected row in ascending order, whatever order they were chosen in.
std::vector<int> list_selected_rows(const QTableView* list);

// Appends many rows at once, which the view takes in one step.
void list_append_rows(QTableView* list, std::vector<std::array<Text, 3>> rows);

}  // namespace tavrin
