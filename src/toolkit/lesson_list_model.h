#pragma once
// The rows of the lesson list. Each cell keeps its GB18030 bytes exactly as
// they were given and is decoded only when the view asks for what to draw,
// so filling the list with many thousands of rows stays cheap and a cell
// reads back byte for byte.

#include <QAbstractTableModel>

#include <array>
#include <vector>

#include "text/values.h"

namespace tavrin {

class LessonListModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumnCount = 3;
    using Row = std::array<Text, kColumnCount>;

    explicit LessonListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Inserts a row whose first cell holds `column0` at `position`; a negative
    // position or one past the last row appends. Returns the new row's
    // number, or -1 when the list cannot take another row.
    int insertLessonRow(int position, const Text& column0);
    // Appends the rows with one notification to the view. Rows beyond the
    // most a list can number are dropped.
    void appendLessonRows(std::vector<Row> rows);
    // False, changing nothing, when the cell does not exist.
    bool setCellText(int row, int column, const Text& text);
    // Null when the cell does not exist.
    const Text* cellText(int row, int column) const;

private:
    std::vector<Row> rows_;
};

}  // namespace tavrin
