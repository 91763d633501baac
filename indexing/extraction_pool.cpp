#include "indexing/extraction_pool.h"

#include "indexing/extraction.h"

namespace qmp {

ExtractionPool::ExtractionPool(int workers) {
    if (workers <= 1) return;
    workers_.reserve(static_cast<std::size_t>(workers));
    for (int i = 0; i < workers; ++i)
        workers_.emplace_back([this] { Work(); });
}

ExtractionPool::~ExtractionPool() {
    DiscardAll({});
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    work_.notify_all();
    workers_.clear();  // joins
}

void ExtractionPool::Read(Slot& slot) {
    try {
        ExtractFileWith(*slot.request.settings, slot.request.path, slot.request.databasePath,
                        slot.record);
    } catch (...) {
        slot.failure = std::current_exception();
    }
}

void ExtractionPool::Work() {
    for (;;) {
        std::shared_ptr<Slot> slot;
        {
            std::unique_lock lock(mutex_);
            work_.wait(lock, [this] { return closing_ || !queued_.empty(); });
            if (queued_.empty()) return;
            slot = std::move(queued_.front());
            queued_.pop_front();
            ++reading_;
        }
        Read(*slot);
        {
            const std::lock_guard lock(mutex_);
            slot->done = true;
            --reading_;
        }
        finished_.notify_all();
    }
}

void ExtractionPool::Submit(Request request) {
    auto slot = std::make_shared<Slot>();
    slot->request = std::move(request);
    order_.push_back(slot);
    if (workers_.empty()) return;
    {
        const std::lock_guard lock(mutex_);
        queued_.push_back(std::move(slot));
    }
    work_.notify_one();
}

template <typename Ready>
void ExtractionPool::WaitFor(std::unique_lock<std::mutex>& lock, Ready ready,
                             const std::function<void()>& whileWaiting) {
    while (!finished_.wait_for(lock, kWaitingInterval, ready)) {
        if (!whileWaiting) continue;
        lock.unlock();
        whileWaiting();
        lock.lock();
    }
}

TBaseRecord ExtractionPool::TakeOldest(const std::function<void()>& whileWaiting) {
    if (order_.empty()) return {};
    const std::shared_ptr<Slot> slot = std::move(order_.front());
    order_.pop_front();
    if (workers_.empty()) {
        Read(*slot);
    } else {
        std::unique_lock lock(mutex_);
        const auto read = [&slot] { return slot->done; };
        WaitFor(lock, read, whileWaiting);
    }
    if (slot->failure) std::rethrow_exception(slot->failure);
    return std::move(slot->record);
}

void ExtractionPool::DiscardAll(const std::function<void()>& whileWaiting) {
    order_.clear();
    if (workers_.empty()) return;
    std::unique_lock lock(mutex_);
    queued_.clear();
    const auto idle = [this] { return reading_ == 0; };
    WaitFor(lock, idle, whileWaiting);
}

}  // namespace qmp
