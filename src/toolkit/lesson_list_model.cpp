#include "toolkit/lesson_list_model.h"

#include <iterator>
#include <limits>

#include "toolkit/services.h"

namespace tavrin {

namespace {

constexpr std::size_t kMostRows = static_cast<std::size_t>(std::numeric_limits<int>::max());

QString column_title(int section) {
    switch (section) {
    case 0:
        return QStringLiteral("课次");
    case 1:
        return QStringLiteral("标题");
    case 2:
        return QStringLiteral("链接");
    default:
        return {};
    }
}

}  // namespace

LessonListModel::LessonListModel(QObject* parent) : QAbstractTableModel(parent) {}

int LessonListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LessonListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant LessonListModel::data(const QModelIndex& index, int role) const {
    const Text* cell = index.isValid() ? cellText(index.row(), index.column()) : nullptr;
    if (cell == nullptr) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return text_to_qstring(*cell);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant LessonListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return column_title(section);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

Qt::ItemFlags LessonListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int LessonListModel::insertLessonRow(int position, const Text& column0) {
    if (rows_.size() >= kMostRows) {
        return -1;
    }
    const int count = rowCount();
    const int row = (position < 0 || position > count) ? count : position;
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + row, Row{column0, Text(), Text()});
    endInsertRows();
    return row;
}

void LessonListModel::appendLessonRows(std::vector<Row> rows) {
    const std::size_t room = kMostRows - rows_.size();
    if (rows.size() > room) {
        rows.resize(room);
    }
    if (rows.empty()) {
        return;
    }
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

bool LessonListModel::setCellText(int row, int column, const Text& text) {
    if (cellText(row, column) == nullptr) {
        return false;
    }
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
    return true;
}

const Text* LessonListModel::cellText(int row, int column) const {
    if (row < 0 || column < 0 || column >= kColumnCount || static_cast<std::size_t>(row) >= rows_.size()) {
        return nullptr;
    }
    return &rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

}  // namespace tavrin
