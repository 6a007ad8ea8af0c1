// Running work items on a few threads at once.
#include "tools/voice/parallel_jobs.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Failure {
    std::mutex lock;
    bool any = false;
    size_t item = 0;
    std::string error;

    void record(size_t failedItem, const std::string &message) {
        std::lock_guard<std::mutex> hold(lock);
        if (!any || failedItem < item) {
            any = true;
            item = failedItem;
            error = message;
        }
    }
};

} // namespace

bool parallelRun(size_t count, unsigned jobs,
                 const std::function<bool(size_t item, std::string &error)> &work, size_t *failed,
                 std::string &error) {
    std::atomic<size_t> next{0};
    std::atomic<bool> stop{false};
    Failure failure;
    auto worker = [&]() {
        for (size_t item; !stop && (item = next++) < count;) {
            std::string message;
            if (!work(item, message)) {
                failure.record(item, message);
                stop = true;
            }
        }
    };
    size_t threads = std::clamp<size_t>(jobs, 1, std::max<size_t>(count, 1));
    std::vector<std::thread> pool;
    for (size_t i = 1; i < threads; i++)
        pool.emplace_back(worker);
    worker();
    for (std::thread &thread : pool)
        thread.join();
    if (failure.any) {
        *failed = failure.item;
        error = failure.error;
    }
    return !failure.any;
}
