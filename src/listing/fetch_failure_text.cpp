#include "listing/fetch_failure_text.h"

namespace tavrin {

std::string fetch_failure_reason(const FetchResult& result) {
    switch (result.failure) {
    case FetchFailure::none:
        return {};
    case FetchFailure::empty_url:
        return "没有网址";
    case FetchFailure::malformed_url:
        return "不是有效的网址";
    case FetchFailure::unsupported_scheme:
        return "不是 http 或 https 网址";
    case FetchFailure::host_not_found:
        return "找不到服务器";
    case FetchFailure::connection_refused:
        return "服务器拒绝连接";
    case FetchFailure::timed_out:
        return "连接超时";
    case FetchFailure::tls_failure:
        return certificate_rejected(result) ? "服务器的安全证书被拒绝" : "无法建立安全连接";
    case FetchFailure::redirect_refused:
        return "重定向被拒绝";
    case FetchFailure::broken_read:
        return "连接中断，页面不完整";
    case FetchFailure::body_too_large:
        return "页面过大";
    case FetchFailure::other:
        break;
    }
    return "无法读取页面";
}

}  // namespace tavrin
