// BackgroundRecordStore: stores whole records on a thread of its own, so that a run reads
// and converts the next records while the destination writes the earlier ones (two cores
// instead of one for a table export).
//
// The caller hands records over in order (Add); the thread stores them in that order with
// the store function. Records travel in batches of kBatchRecords, and at most kMaxBatches
// are waiting at any time, so memory stays flat whatever the table's size: Add waits for
// the thread when the caller is that far ahead.
//
// The first record that fails stops the thread; the records after it stay unstored. The
// failure is raised on the caller's thread by the next Add or Finish (with its engine
// errors recorded there, where the engine's Errors collection belongs), and raised only
// once. The caller then either drops the rest (Drop: the run stops at the failed record,
// as it would have without the thread) or goes on, when the thread continues with the
// record after the failed one. Nothing handed over is lost unless dropped.
//
// With a group store function the thread first offers kGroupRecords records at a time to
// it, which stores all of them or none; when it fails, the thread stores those records one
// by one to find the one that fails, and when it declines (answers false), the thread
// stores one by one from then on. Either way what is stored, and which failure is raised,
// are the same as with the record store function alone.
//
// The store functions run on the thread only, and the caller must not touch what they
// write to (the destination) between the first Add and the next Finish or Drop.
//
// Usage:
//   BackgroundRecordStore store([&](std::vector<QVariant>& r) { table.AppendRecord(r); });
//   store.Add(values);   // takes the values; `values` is left holding stale ones
//   store.Finish();      // every record stored; raises the first failure not yet raised
#pragma once

#include <QVariant>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace morvane {

class BackgroundRecordStore {
  public:
    using StoreFunction = std::function<void(std::vector<QVariant>&)>;
    //! Stores `count` records all or none; false (nothing stored) when it does not.
    using StoreGroupFunction = std::function<bool(std::vector<QVariant>* records, size_t count)>;

    static constexpr size_t kBatchRecords = 1024;
    static constexpr size_t kMaxBatches = 2;
    static constexpr size_t kGroupRecords = 32;

    explicit BackgroundRecordStore(StoreFunction store, StoreGroupFunction storeGroup = nullptr);
    //! Drops what is not stored yet and ends the thread.
    ~BackgroundRecordStore();
    BackgroundRecordStore(const BackgroundRecordStore&) = delete;
    BackgroundRecordStore& operator=(const BackgroundRecordStore&) = delete;

    //! Hands one record over (its values are swapped out of `values`), then raises a
    //! failure of an earlier record that has not been raised yet.
    void Add(std::vector<QVariant>& values);
    //! Waits until every record handed over is stored or the thread stopped at a failure;
    //! raises that failure when it has not been raised yet.
    void Finish();
    //! Discards the records not stored yet and waits for the thread to be idle.
    void Drop() noexcept;
    //! True from a failure until the caller goes on (Add, Finish) or drops the rest.
    bool StoppedAtFailure();

  private:
    struct Batch {
        std::vector<std::vector<QVariant>> records;  //!< kBatchRecords slots, reused
        size_t count = 0;                            //!< slots in use
    };

    //! Queues the filling batch. Caller's thread, not holding the lock.
    void Submit();
    //! Lets a thread that stopped at a raised failure go on. Holding the lock.
    void Resume();
    //! Raises failure_ when set. Holding the lock (released before raising).
    void RaisePendingFailure(std::unique_lock<std::mutex>& lock);
    void Work();
    //! Stores the records of `batch` from `next` on until one fails (its failure is put in
    //! `failure`) or the caller drops the rest; answers the index after the last one done.
    size_t StoreFrom(Batch& batch, size_t next, std::exception_ptr& failure);

    StoreFunction store_;
    StoreGroupFunction storeGroup_;  //!< cleared by the thread once it declines
    Batch filling_;                  //!< records handed over, not yet queued (caller's thread only)

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> queued_;           //!< queued batches, oldest first
    std::vector<Batch> spare_;           //!< stored batches kept for reuse
    size_t storedOfFront_ = 0;           //!< records of queued_.front() already taken
    bool busy_ = false;                  //!< the thread is storing a batch it took off the queue
    std::exception_ptr failure_;         //!< a failure not raised to the caller yet
    bool paused_ = false;                //!< stopped at a failure until the caller goes on
    std::atomic<bool> dropping_{false};  //!< read by the thread between records
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace morvane
