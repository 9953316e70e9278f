#include "listing/fetch_batch.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "listing/curl_request.h"

namespace tavrin {

void FetchCancellation::cancel() {
    cancelled_.store(true);
    const std::lock_guard lock(mutex_);
    for (const auto& waker : wakers_) waker.second();
}

bool FetchCancellation::cancelled() const { return cancelled_.load(); }

namespace detail {

// While it lives, `cancel()` wakes one batch's multi loop.
class CancellationWatch {
public:
    CancellationWatch(const FetchCancellation* cancellation, std::function<void()> wake)
        : cancellation_(cancellation) {
        if (!cancellation_) return;
        const std::lock_guard lock(cancellation_->mutex_);
        key_ = cancellation_->next_key_++;
        cancellation_->wakers_.emplace_back(key_, std::move(wake));
    }
    ~CancellationWatch() {
        if (!cancellation_) return;
        const std::lock_guard lock(cancellation_->mutex_);
        auto& wakers = cancellation_->wakers_;
        wakers.erase(std::remove_if(wakers.begin(), wakers.end(),
                                    [this](const auto& waker) { return waker.first == key_; }),
                     wakers.end());
    }
    CancellationWatch(const CancellationWatch&) = delete;
    CancellationWatch& operator=(const CancellationWatch&) = delete;

    bool cancelled() const { return cancellation_ && cancellation_->cancelled(); }

private:
    const FetchCancellation* cancellation_;
    std::size_t key_ = 0;
};

namespace {

struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

class BatchRun {
public:
    BatchRun(const std::vector<Text>& urls, const BatchOptions& options, const BatchCallbacks& callbacks,
             const FetchCancellation* cancellation)
        : urls_(urls),
          options_(options),
          callbacks_(callbacks),
          max_parallel_(static_cast<std::size_t>(std::max(options.max_parallel, 1))),
          multi_(make_multi()),
          watch_(cancellation, [multi = multi_.get()] { curl_multi_wakeup(multi); }) {}

    // The watch goes first (member order), then every running transfer is
    // taken off the multi handle before the handle itself is cleaned up.
    ~BatchRun() {
        for (Running& entry : running_) curl_multi_remove_handle(multi_.get(), entry.transfer->handle());
    }
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    void run() {
        while (!watch_.cancelled()) {
            while (running_.size() < max_parallel_ && next_ < urls_.size() && !watch_.cancelled()) start(next_++);
            if (running_.empty()) break;  // all done, or cancelled
            int still_running = 0;
            if (CURLMcode code = curl_multi_perform(multi_.get(), &still_running); code != CURLM_OK) {
                fail_running(code);
                continue;
            }
            if (collect_finished()) continue;  // start the next ones before waiting
            if (watch_.cancelled()) break;
            // Sleeps until a socket is ready, curl's own timer runs out, or
            // `cancel()` calls curl_multi_wakeup.
            if (CURLMcode code = curl_multi_poll(multi_.get(), nullptr, 0, 1000, nullptr); code != CURLM_OK) {
                fail_running(code);
            }
        }
    }

private:
    struct Running {
        std::size_t index;
        std::unique_ptr<PageTransfer> transfer;
    };

    static std::unique_ptr<CURLM, MultiDeleter> make_multi() {
        ensure_curl_initialised();
        std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
        if (!multi) throw std::bad_alloc();
        return multi;
    }

    void notify_started(std::size_t index) {
        if (callbacks_.started) callbacks_.started(index);
    }
    void notify_finished(std::size_t index, FetchResult result) {
        if (callbacks_.finished) callbacks_.finished(index, std::move(result));
    }

    void start(std::size_t index) {
        const PreparedUrl prepared = prepare_url(urls_[index]);
        notify_started(index);
        if (prepared.url.empty()) {
            notify_finished(index, refused_result(prepared));
            return;
        }
        auto transfer = std::make_unique<PageTransfer>(prepared.url, options_.fetch);
        if (!transfer->ready()) {
            notify_finished(index, transfer->finish(CURLE_OK));
            return;
        }
        if (CURLMcode code = curl_multi_add_handle(multi_.get(), transfer->handle()); code != CURLM_OK) {
            if (code == CURLM_OUT_OF_MEMORY) throw std::bad_alloc();
            FetchResult result;
            result.failure = FetchFailure::other;
            result.detail = std::string("the transfer cannot be started: ") + curl_multi_strerror(code);
            notify_finished(index, std::move(result));
            return;
        }
        running_.push_back(Running{index, std::move(transfer)});
    }

    // Hands every ended transfer to `finished`. True when one ended.
    bool collect_finished() {
        bool any = false;
        int queued = 0;
        while (!watch_.cancelled()) {
            CURLMsg* message = curl_multi_info_read(multi_.get(), &queued);
            if (!message) break;
            if (message->msg != CURLMSG_DONE) continue;
            CURL* easy = message->easy_handle;
            const CURLcode code = message->data.result;  // `message` dies with the removal
            auto found = std::find_if(running_.begin(), running_.end(),
                                      [easy](const Running& entry) { return entry.transfer->handle() == easy; });
            if (found == running_.end()) continue;
            curl_multi_remove_handle(multi_.get(), easy);
            Running entry = std::move(*found);
            running_.erase(found);
            any = true;
            FetchResult result = entry.transfer->finish(code);
            entry.transfer.reset();
            notify_finished(entry.index, std::move(result));
        }
        return any;
    }

    // The multi handle itself failed (in practice only when memory runs out):
    // every running transfer ends as `other`.
    void fail_running(CURLMcode code) {
        if (code == CURLM_OUT_OF_MEMORY) throw std::bad_alloc();
        while (!running_.empty() && !watch_.cancelled()) {
            Running entry = std::move(running_.front());
            running_.erase(running_.begin());
            curl_multi_remove_handle(multi_.get(), entry.transfer->handle());
            entry.transfer.reset();
            FetchResult result;
            result.failure = FetchFailure::other;
            result.detail = curl_multi_strerror(code);
            notify_finished(entry.index, std::move(result));
        }
    }

    const std::vector<Text>& urls_;
    const BatchOptions& options_;
    const BatchCallbacks& callbacks_;
    const std::size_t max_parallel_;
    std::size_t next_ = 0;
    std::unique_ptr<CURLM, MultiDeleter> multi_;
    std::vector<Running> running_;
    CancellationWatch watch_;  // last member: unregistered before anything else goes
};

}  // namespace
}  // namespace detail

void fetch_batch(const std::vector<Text>& urls, const BatchOptions& options, const BatchCallbacks& callbacks,
                 const FetchCancellation* cancellation) {
    if (urls.empty() || (cancellation && cancellation->cancelled())) return;
    detail::BatchRun run(urls, options, callbacks, cancellation);
    run.run();
}

FetchResult fetch_page(const Text& url, const FetchCancellation& cancellation, const FetchOptions& options) {
    FetchResult fetched;
    BatchCallbacks callbacks;
    callbacks.finished = [&fetched](std::size_t, FetchResult result) { fetched = std::move(result); };
    fetch_batch({url}, BatchOptions{1, options}, callbacks, &cancellation);
    return fetched;
}

}  // namespace tavrin
