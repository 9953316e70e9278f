#include "resolve/resolve_handler.h"

#include <QPlainTextEdit>
#include <QWidget>

#include <vector>

#include "resolve/download_address.h"
#include "resolve/resolve_run.h"
#include "resolve/run_report.h"
#include "text/display_encoding.h"
#include "text/primitives.h"
#include "toolkit/background_run.h"
#include "toolkit/services.h"

namespace tavrin {

void resolve_queued_lessons(HandlerContext& context, const Site& site) {
    QPlainTextEdit* queueEdit = context.controls.queueEdit;
    if (text_compare(get_control_text(queueEdit), "") == 0) {
        // An empty queue has nothing to resolve; "done" after this warning
        // would only tell the user that something had happened.
        show_message(context.desktop, utf8_to_gb18030("请在上面的超级列表框中右击需要分析的列表!  "),
                     kInformationMessage, Text{});
        return;
    }
    set_control_text(queueEdit, text_trim(get_control_text(queueEdit)));
    const std::vector<Text> lines = text_split(get_control_text(queueEdit), "\r\n");
    const int total = static_cast<int>(lines.size());

    FetchCancellation cancellation;
    BackgroundRun run(context.controls.window, context.controls.window->windowTitle(),
                      [&cancellation] { cancellation.cancel(); });
    RunReport report(lines.size());
    QString fetching;  // the lesson URL most recently sent for
    const auto showProgress = [&] {
        run.setProgress(static_cast<int>(report.resolved()), total,
                        QStringLiteral("已解析 %1 / %2 条\n正在读取：%3")
                            .arg(report.resolved())
                            .arg(total)
                            .arg(fetching));
    };
    showProgress();

    const bool completed = run.exec([&](RunControl& control) {
        ResolveCallbacks callbacks;
        callbacks.started = [&](std::size_t index) {
            control.post([&, index] {
                fetching = text_to_qstring(lines[index]);
                showProgress();
            });
        };
        callbacks.resolved = [&](std::size_t index, LineResolution resolution) {
            control.post([&, index, resolution = std::move(resolution)] {
                append_edit_text(context.controls.resultEdit, result_entry(resolution.address));
                report.add(lines[index], resolution);
                showProgress();
            });
        };
        resolve_lines(lines, site.resource_prefix, ResolveOptions{}, callbacks, &cancellation);
    });
    if (!completed) {
        report.mark_cancelled();
    }
    show_message(context.desktop, report.message());
}

}  // namespace tavrin
