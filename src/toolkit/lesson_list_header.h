#pragma once
// The header of the lesson list. Its last column starts at width 0, so its
// divider sits on the divider of the column before it, where Qt's header only
// ever grabs the wider column. This header gives the press at the right end
// of the last column to the last column, so the user can drag it open.

#include <QHeaderView>

namespace tavrin {

class LessonListHeader final : public QHeaderView {
    Q_OBJECT

public:
    explicit LessonListHeader(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int lastSection() const;
    bool onLastDivider(int x) const;

    int dragStartX_ = 0;
    int dragStartSize_ = 0;
    bool dragging_ = false;
};

}  // namespace tavrin
