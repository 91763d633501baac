#pragma once
// Documents read on worker threads and handed back in the order in which
// they were asked for, so that a scan can use every core while the link
// table is changed on one thread only.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/link_table.h"
#include "indexing/rating_settings.h"

namespace qmp {

class ExtractionPool final {
public:
    // A document to read with ExtractFileWith.
    struct Request {
        std::string path;
        std::string databasePath;
        std::shared_ptr<const DocumentSettings> settings;
    };

    // How often a caller that waits for a document gets its waiting hook.
    static constexpr std::chrono::milliseconds kWaitingInterval{50};

    // Reads on `workers` threads. With one (or fewer) there are none: each
    // document is read on the caller's thread when it is taken.
    explicit ExtractionPool(int workers);
    // Drops what was not taken and waits for the documents being read.
    ~ExtractionPool();
    ExtractionPool(const ExtractionPool&) = delete;
    ExtractionPool& operator=(const ExtractionPool&) = delete;

    // Asks for a document, after every one asked for before.
    void Submit(Request request);

    // Documents asked for and not taken yet.
    std::size_t Pending() const { return order_.size(); }

    // The record of the oldest document not taken, read on the caller's
    // thread or waited for; `whileWaiting` runs every kWaitingInterval while
    // the wait lasts. A failure of the reading (no memory) is thrown here.
    TBaseRecord TakeOldest(const std::function<void()>& whileWaiting);

    // Drops every document not taken, and waits, running `whileWaiting` as
    // above, until no worker is reading one: nothing reads the program-wide
    // values from then until the next Submit.
    void DiscardAll(const std::function<void()>& whileWaiting);

private:
    struct Slot {
        Request request;
        TBaseRecord record;
        std::exception_ptr failure;
        bool done = false;
    };

    static void Read(Slot& slot);
    void Work();
    // Waits under `lock` until `ready`, running `whileWaiting` between waits.
    template <typename Ready>
    void WaitFor(std::unique_lock<std::mutex>& lock, Ready ready,
                 const std::function<void()>& whileWaiting);

    std::mutex mutex_;
    std::condition_variable work_;              // a request to read, or the end
    std::condition_variable finished_;          // a document read
    std::deque<std::shared_ptr<Slot>> order_;   // asked for and not taken, oldest first
    std::deque<std::shared_ptr<Slot>> queued_;  // not started yet, oldest first
    int reading_ = 0;                           // workers reading a document
    bool closing_ = false;
    std::vector<std::jthread> workers_;
};

}  // namespace qmp
