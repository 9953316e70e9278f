#include "toolkit/lesson_list.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

#include "toolkit/lesson_list_header.h"

namespace tavrin {

namespace {

LessonListModel* lesson_model(const QTableView* list) {
    return list == nullptr ? nullptr : qobject_cast<LessonListModel*>(list->model());
}

}  // namespace

LessonList::LessonList(QWidget* parent) : QTableView(parent), model_(new LessonListModel(this)) {
    auto* header = new LessonListHeader(this);
    setHorizontalHeader(header);
    setModel(model_);

    header->setMinimumSectionSize(0);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    for (int column = 0; column < LessonListModel::kColumnCount; ++column) {
        header->resizeSection(column, kColumnWidths[static_cast<std::size_t>(column)]);
    }

    // One fixed height for every row keeps a long list cheap to lay out.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

    setShowGrid(true);
    setWordWrap(false);
    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    // The selection stays drawn as it is while another control has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    }
    setPalette(colours);
}

void LessonList::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const int sideways = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(sideways);
}

void LessonList::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    // Qt keeps the selection when the right button is pressed on empty
    // space; a list clears it there, as it does for the left button.
    const bool plain = (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) == 0;
    if (event->button() == Qt::RightButton && plain && !indexAt(event->position().toPoint()).isValid()) {
        clearSelection();
    }
}

void LessonList::contextMenuEvent(QContextMenuEvent* event) {
    // The menu key and Shift+F10 are not a click of the mouse.
    if (event->reason() != QContextMenuEvent::Mouse) {
        QTableView::contextMenuEvent(event);
        return;
    }
    event->accept();
    emit rightClicked();
}

int list_insert_row(QTableView* list, int position, const Text& column0) {
    LessonListModel* model = lesson_model(list);
    return model == nullptr ? -1 : model->insertLessonRow(position, column0);
}

void list_set_cell_text(QTableView* list, int row, int column, const Text& text) {
    if (LessonListModel* model = lesson_model(list)) {
        model->setCellText(row, column, text);
    }
}

int list_first_selected_row(const QTableView* list) {
    int first = -1;
    if (list == nullptr || list->selectionModel() == nullptr) {
        return first;
    }
    for (const QItemSelectionRange& range : list->selectionModel()->selection()) {
        if (first < 0 || range.top() < first) {
            first = range.top();
        }
    }
    return first;
}

Text list_get_cell_text(const QTableView* list, int row, int column) {
    const LessonListModel* model = lesson_model(list);
    const Text* cell = model == nullptr ? nullptr : model->cellText(row, column);
    return cell == nullptr ? Text() : *cell;
}

std::vector<int> list_selected_rows(const QTableView* list) {
    std::vector<int> rows;
    if (list == nullptr || list->selectionModel() == nullptr) {
        return rows;
    }
    for (const QItemSelectionRange& range : list->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.push_back(row);
        }
    }
    // Ranges arrive in the order they were made and may overlap.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void list_append_rows(QTableView* list, std::vector<std::array<Text, 3>> rows) {
    if (LessonListModel* model = lesson_model(list)) {
        model->appendLessonRows(std::move(rows));
    }
}

}  // namespace tavrin
