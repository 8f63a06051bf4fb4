#include "export/engine/BackgroundRecordStore.h"

#include "export/data/EngineError.h"

#include <utility>

namespace morvane {

BackgroundRecordStore::BackgroundRecordStore(StoreFunction store, StoreGroupFunction storeGroup)
    : store_(std::move(store)), storeGroup_(std::move(storeGroup)), thread_([this] { Work(); }) {
    filling_.records.resize(kBatchRecords);
}

BackgroundRecordStore::~BackgroundRecordStore() {
    Drop();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BackgroundRecordStore::Add(std::vector<QVariant>& values) {
    std::vector<QVariant>& slot = filling_.records[filling_.count++];
    if (slot.size() != values.size()) slot.resize(values.size());
    slot.swap(values);
    if (filling_.count == kBatchRecords) Submit();
    std::unique_lock<std::mutex> lock(mutex_);
    RaisePendingFailure(lock);
}

void BackgroundRecordStore::Finish() {
    if (filling_.count > 0) Submit();
    std::unique_lock<std::mutex> lock(mutex_);
    Resume();
    changed_.wait(lock, [&] { return failure_ || (queued_.empty() && !busy_); });
    RaisePendingFailure(lock);
}

void BackgroundRecordStore::Drop() noexcept {
    filling_.count = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    dropping_ = true;
    changed_.wait(lock, [&] { return !busy_; });
    while (!queued_.empty()) {
        queued_.front().count = 0;
        spare_.push_back(std::move(queued_.front()));
        queued_.pop_front();
    }
    storedOfFront_ = 0;
    failure_ = nullptr;
    paused_ = false;
    dropping_ = false;
}

bool BackgroundRecordStore::StoppedAtFailure() {
    std::lock_guard<std::mutex> lock(mutex_);
    return paused_;
}

void BackgroundRecordStore::Submit() {
    std::unique_lock<std::mutex> lock(mutex_);
    Resume();
    // A thread stopped at a failure frees no room; the failure is raised right after.
    changed_.wait(lock, [&] { return queued_.size() + (busy_ ? 1 : 0) < kMaxBatches || failure_; });
    queued_.push_back(std::move(filling_));
    if (spare_.empty()) {
        filling_ = Batch();
        filling_.records.resize(kBatchRecords);
    } else {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
    }
    lock.unlock();
    changed_.notify_all();
}

void BackgroundRecordStore::Resume() {
    if (!paused_ || failure_) return;
    paused_ = false;
    changed_.notify_all();
}

void BackgroundRecordStore::RaisePendingFailure(std::unique_lock<std::mutex>& lock) {
    if (!failure_) {
        Resume();
        return;
    }
    std::exception_ptr failure = std::exchange(failure_, nullptr);
    lock.unlock();
    try {
        std::rethrow_exception(failure);
    } catch (const EngineError& error) {
        // Recorded here: the engine's Errors collection belongs to the caller's thread.
        DbErrors().Set(error.Errors());
        throw;
    }
}

void BackgroundRecordStore::Work() {
    const UnrecordedEngineErrors unrecorded;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        // Nothing is taken up while the caller drops what is queued, which it does as soon
        // as the records being stored are done with.
        changed_.wait(
            lock, [&] { return stopping_ || (!queued_.empty() && !paused_ && !dropping_.load()); });
        if (stopping_) return;
        // The batch is the thread's own while it stores it; what a failure or a drop leaves
        // of it goes back to the front of the queue.
        Batch batch = std::move(queued_.front());
        queued_.pop_front();
        size_t next = std::exchange(storedOfFront_, 0);
        busy_ = true;
        lock.unlock();
        std::exception_ptr failure;
        next = StoreFrom(batch, next, failure);
        lock.lock();
        busy_ = false;
        if (failure) {
            failure_ = failure;
            paused_ = true;
        }
        if (next >= batch.count) {
            batch.count = 0;
            spare_.push_back(std::move(batch));
        } else {
            queued_.push_front(std::move(batch));
            storedOfFront_ = next;
        }
        changed_.notify_all();
    }
}

size_t BackgroundRecordStore::StoreFrom(Batch& batch, size_t next, std::exception_ptr& failure) {
    while (next < batch.count) {
        if (dropping_.load(std::memory_order_relaxed)) return next;
        size_t end = batch.count;
        if (storeGroup_ && batch.count - next >= kGroupRecords) {
            end = next + kGroupRecords;
            try {
                if (storeGroup_(&batch.records[next], kGroupRecords)) {
                    next = end;
                    continue;
                }
                storeGroup_ = nullptr;  // declined: one by one from now on
                end = batch.count;
            } catch (...) {
                // One of them failed and none is stored: one by one finds which.
            }
        }
        for (; next < end; ++next) {
            if (dropping_.load(std::memory_order_relaxed)) return next;
            try {
                store_(batch.records[next]);
            } catch (...) {
                failure = std::current_exception();
                return next + 1;  // the failed record is done with
            }
        }
    }
    return next;
}

}  // namespace morvane
