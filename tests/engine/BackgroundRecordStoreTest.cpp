#include "export/data/EngineError.h"
#include "export/engine/BackgroundRecordStore.h"

#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace morvane {
namespace {

constexpr int kRecords = 5000;  // several batches and a partial last one

//! Stores each record's first value; fails once on the record numbered `failAt`.
class Recorder {
  public:
    explicit Recorder(int failAt = -1) : failAt_(failAt) {}

    BackgroundRecordStore::StoreFunction Function() {
        return [this](std::vector<QVariant>& record) {
            const int number = record.at(0).toInt();
            stored_.fetch_add(1);
            const qint64 ahead = handed_.load() - stored_.load();
            qint64 seen = mostAhead_.load();
            while (ahead > seen && !mostAhead_.compare_exchange_weak(seen, ahead)) {
            }
            if (number == failAt_) throw EngineError::Of(ErrRequiredNull, QStringLiteral("Name"));
            std::lock_guard<std::mutex> lock(mutex_);
            numbers_.push_back(number);
        };
    }
    //! Stores a group all or none, as a destination's single statement would; with
    //! `decline`, answers false (the destination takes no groups).
    BackgroundRecordStore::StoreGroupFunction GroupFunction(bool decline) {
        return [this, decline](std::vector<QVariant>* records, size_t count) {
            groupCalls_.fetch_add(1);
            if (decline) return false;
            for (size_t index = 0; index < count; ++index)
                if (records[index].at(0).toInt() == failAt_)
                    throw EngineError::Of(ErrRequiredNull, QStringLiteral("Name"));
            stored_.fetch_add(static_cast<qint64>(count));
            std::lock_guard<std::mutex> lock(mutex_);
            for (size_t index = 0; index < count; ++index)
                numbers_.push_back(records[index].at(0).toInt());
            return true;
        };
    }
    int GroupCalls() const { return groupCalls_.load(); }
    void NoteHanded() { handed_.fetch_add(1); }
    std::vector<int> Numbers() {
        std::lock_guard<std::mutex> lock(mutex_);
        return numbers_;
    }
    qint64 MostAhead() const { return mostAhead_.load(); }

  private:
    const int failAt_;
    std::mutex mutex_;
    std::vector<int> numbers_;
    std::atomic<qint64> handed_{0};
    std::atomic<qint64> stored_{0};
    std::atomic<qint64> mostAhead_{0};
    std::atomic<int> groupCalls_{0};
};

// Records are stored one by one, in groups of kGroupRecords (a failing group is stored one
// by one to find the failing record), or by a group function that declines.
enum class Mode { kOneByOne, kGroups, kDecliningGroups };

class BackgroundRecordStoreTest : public testing::TestWithParam<Mode> {
  protected:
    std::unique_ptr<BackgroundRecordStore> MakeStore(Recorder& recorder) {
        if (GetParam() == Mode::kOneByOne)
            return std::make_unique<BackgroundRecordStore>(recorder.Function());
        return std::make_unique<BackgroundRecordStore>(
            recorder.Function(), recorder.GroupFunction(GetParam() == Mode::kDecliningGroups));
    }
    //! Groups were offered where the mode has them, and a declining function only once.
    void ExpectGroupsOffered(const Recorder& recorder) {
        switch (GetParam()) {
            case Mode::kOneByOne:
                EXPECT_EQ(recorder.GroupCalls(), 0);
                break;
            case Mode::kGroups:
                EXPECT_GT(recorder.GroupCalls(), 10);
                break;
            case Mode::kDecliningGroups:
                EXPECT_EQ(recorder.GroupCalls(), 1);
                break;
        }
    }
};

std::vector<int> Range(int from, int to) {
    std::vector<int> numbers;
    for (int number = from; number < to; ++number) numbers.push_back(number);
    return numbers;
}

//! Hands records 0.. over; returns the number of the first record whose Add raised
//! (kRecords when none did) and the error's number. Stops there unless `goOn`.
int HandOver(BackgroundRecordStore& store, Recorder& recorder, int& errorNumber,
             bool goOn = false) {
    int raisedAt = kRecords;
    std::vector<QVariant> values(2);
    for (int number = 0; number < kRecords; ++number) {
        values[0] = number;
        values[1] = QString::number(number);
        recorder.NoteHanded();
        try {
            store.Add(values);
        } catch (const EngineError& error) {
            EXPECT_EQ(raisedAt, kRecords) << "raised once";
            errorNumber = error.Number();
            raisedAt = number;
            if (!goOn) break;
        }
    }
    return raisedAt;
}

TEST_P(BackgroundRecordStoreTest, StoresEveryRecordInOrderWithBoundedLead) {
    Recorder recorder;
    auto owned = MakeStore(recorder);
    BackgroundRecordStore& store = *owned;
    int errorNumber = 0;
    EXPECT_EQ(HandOver(store, recorder, errorNumber), kRecords);
    store.Finish();
    EXPECT_EQ(recorder.Numbers(), Range(0, kRecords));
    // The caller is never more than the queued batches and the one it fills ahead.
    EXPECT_LE(recorder.MostAhead(), static_cast<qint64>(BackgroundRecordStore::kBatchRecords *
                                                        (BackgroundRecordStore::kMaxBatches + 1)));
    ExpectGroupsOffered(recorder);
}

TEST_P(BackgroundRecordStoreTest, FailureIsRaisedOnceOnTheCallersThreadAndDropKeepsNoneAfter) {
    constexpr int kFailAt = 1500;  // inside a group, not its first record
    Recorder recorder(kFailAt);
    auto owned = MakeStore(recorder);
    BackgroundRecordStore& store = *owned;
    DbErrors().Clear();
    int errorNumber = 0;
    const int raisedAt = HandOver(store, recorder, errorNumber);
    if (raisedAt == kRecords) {
        // Every record was handed over before the thread reached the failure.
        try {
            store.Finish();
            FAIL() << "Finish raises the failure";
        } catch (const EngineError& error) {
            errorNumber = error.Number();
        }
    } else {
        EXPECT_GT(raisedAt, kFailAt) << "raised by a later record's Add";
    }
    EXPECT_EQ(errorNumber, ErrRequiredNull);
    ASSERT_EQ(DbErrors().Count(), 1) << "recorded where it was raised";
    EXPECT_EQ(DbErrors().Item(0).Number, ErrRequiredNull);
    EXPECT_TRUE(store.StoppedAtFailure());
    store.Drop();
    EXPECT_FALSE(store.StoppedAtFailure());
    EXPECT_EQ(recorder.Numbers(), Range(0, kFailAt)) << "the records before, none after";
    ExpectGroupsOffered(recorder);
    DbErrors().Clear();
}

TEST_P(BackgroundRecordStoreTest, GoingOnAfterAFailureStoresTheRecordsAfterIt) {
    constexpr int kFailAt = 10;
    Recorder recorder(kFailAt);
    auto owned = MakeStore(recorder);
    BackgroundRecordStore& store = *owned;
    int errorNumber = 0;
    if (HandOver(store, recorder, errorNumber, true) == kRecords) {
        EXPECT_THROW(store.Finish(), EngineError);
    }
    store.Finish();  // the failure was raised once; this one goes on to the end
    std::vector<int> expected = Range(0, kRecords);
    expected.erase(expected.begin() + kFailAt);
    EXPECT_EQ(recorder.Numbers(), expected);
    ExpectGroupsOffered(recorder);
    DbErrors().Clear();
}

INSTANTIATE_TEST_SUITE_P(Modes, BackgroundRecordStoreTest,
                         testing::Values(Mode::kOneByOne, Mode::kGroups, Mode::kDecliningGroups),
                         [](const testing::TestParamInfo<Mode>& info) {
                             switch (info.param) {
                                 case Mode::kOneByOne:
                                     return "OneByOne";
                                 case Mode::kGroups:
                                     return "Groups";
                                 default:
                                     return "DecliningGroups";
                             }
                         });

TEST(BackgroundRecordStoreDropTest, DestroyingWithRecordsQueuedDoesNotWaitForThem) {
    std::atomic<int> stored{0};
    {
        BackgroundRecordStore store([&](std::vector<QVariant>&) {
            stored.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        });
        std::vector<QVariant> values(1);
        for (size_t record = 0; record < BackgroundRecordStore::kBatchRecords * 2; ++record)
            store.Add(values);
    }
    EXPECT_LT(stored.load(), static_cast<int>(BackgroundRecordStore::kBatchRecords * 2));
}

}  // namespace
}  // namespace morvane
