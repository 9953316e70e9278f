#include "listing/read_course_page.h"

#include <QLineEdit>
#include <QWidget>

#include <array>
#include <vector>

#include "listing/fetch_batch.h"
#include "listing/fetch_failure_text.h"
#include "text/display_encoding.h"
#include "toolkit/background_run.h"
#include "toolkit/lesson_list.h"
#include "toolkit/services.h"

namespace tavrin {

namespace {

using ListRows = std::vector<std::array<Text, 3>>;

// Why a read added no row, as the user is told.
Text no_lessons_message(const CoursePageRead& read, const FetchResult& fetched) {
    const std::string reason = fetch_failure_reason(fetched);
    switch (no_lessons_cause(read, fetched)) {
    case NoLessonsCause::fetch_failed:
        return utf8_to_gb18030("无法读取课程页面：" + reason + "!  ");
    case NoLessonsCause::empty_page:
        return utf8_to_gb18030("课程页面是空的，没有找到课程!  ");
    case NoLessonsCause::not_convertible:
        return utf8_to_gb18030("课程页面不是 UTF-8 或 GBK 编码的网页，无法读取!  ");
    case NoLessonsCause::incomplete_page:
        return utf8_to_gb18030("课程页面不完整（" + reason + "），其中没有找到课程!  ");
    case NoLessonsCause::none:
    case NoLessonsCause::no_lessons:
        break;
    }
    return utf8_to_gb18030("课程页面中没有找到课程!  ");
}

}  // namespace

void read_course_page(HandlerContext& context, CourseListingState& state, const Site& site) {
    QLineEdit* courseUrlEdit = context.controls.courseUrlEdit;
    if (text_compare(get_control_text(courseUrlEdit), "") == 0) {
        show_message(context.desktop, utf8_to_gb18030("请输入视频页面所在的地址!  "));
        return;
    }
    const Text url = get_control_text(courseUrlEdit);

    FetchCancellation cancellation;
    BackgroundRun run(context.controls.window, context.controls.window->windowTitle(),
                      [&cancellation] { cancellation.cancel(); });
    run.setBusy(QStringLiteral("正在读取课程页面：\n") + text_to_qstring(url));

    // The window's thread waits in the run's event loop and touches neither the
    // state nor these values until the job has returned.
    FetchResult fetched;
    CoursePageRead read;
    ListRows rows;
    const bool completed = run.exec([&](RunControl&) {
        fetched = fetch_page(url, cancellation);
        if (cancellation.cancelled()) {
            return;
        }
        read = load_course_page(state, std::move(fetched.body));
        rows.reserve(state.lesson_matches.size());
        for (const MatchRecord& match : state.lesson_matches) {
            LessonRow row = lesson_row(state, match, site);
            rows.push_back({std::move(row.number), std::move(row.title), std::move(row.link)});
        }
    });
    if (!completed) {
        show_message(context.desktop, utf8_to_gb18030("读取已取消，课程列表没有改变!  "));
        return;
    }
    if (rows.empty()) {
        show_message(context.desktop, no_lessons_message(read, fetched));
        return;
    }
    const auto added = static_cast<std::int32_t>(rows.size());
    list_append_rows(context.controls.lessonList, std::move(rows));
    state.next_row += added;
}

}  // namespace tavrin
