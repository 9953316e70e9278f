#include "toolkit/lesson_list_header.h"

#include <QMouseEvent>
#include <QStyle>

#include <algorithm>
#include <cstdlib>

namespace tavrin {

LessonListHeader::LessonListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setMouseTracking(true);
}

int LessonListHeader::lastSection() const {
    for (int visual = count() - 1; visual >= 0; --visual) {
        const int logical = logicalIndex(visual);
        if (!isSectionHidden(logical)) {
            return logical;
        }
    }
    return -1;
}

bool LessonListHeader::onLastDivider(int x) const {
    const int last = lastSection();
    if (last < 0 || sectionResizeMode(last) != QHeaderView::Interactive) {
        return false;
    }
    const int divider = sectionViewportPosition(last) + sectionSize(last);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    return std::abs(x - divider) <= grip;
}

void LessonListHeader::mousePressEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (event->button() == Qt::LeftButton && onLastDivider(x)) {
        dragging_ = true;
        dragStartX_ = x;
        dragStartSize_ = sectionSize(lastSection());
        event->accept();
        return;
    }
    QHeaderView::mousePressEvent(event);
}

void LessonListHeader::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (dragging_) {
        resizeSection(lastSection(), std::max(minimumSectionSize(), dragStartSize_ + x - dragStartX_));
        event->accept();
        return;
    }
    QHeaderView::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton && onLastDivider(x)) {
        setCursor(Qt::SplitHCursor);
    }
}

void LessonListHeader::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        event->accept();
        return;
    }
    QHeaderView::mouseReleaseEvent(event);
}

}  // namespace tavrin
