// ByteSink: appends bytes to the end of a QByteArray through a raw pointer. The array is
// grown ahead in large steps and cut back to the bytes written when the sink goes, so an
// append is a bounds check and a copy instead of a library call per piece (a record of
// an HTML page is some thirty pieces).
//
// While the sink lives the array holds unspecified bytes past Size(); only the sink may
// touch the array.
//
// Usage:
//   { ByteSink sink(buffer); sink.Append(tag); std::memcpy(sink.Extend(n), text, n); }
#pragma once

#include <QByteArray>
#include <cstring>

namespace morvane {

class ByteSink {
  public:
    explicit ByteSink(QByteArray& out) : out_(out), size_(out.size()) { Reserve(kStep); }
    ~ByteSink() { out_.resize(size_); }
    ByteSink(const ByteSink&) = delete;
    ByteSink& operator=(const ByteSink&) = delete;

    qsizetype Size() const { return size_; }
    //! Adds `count` bytes at the end and answers where they start, for the caller to fill.
    char* Extend(qsizetype count) {
        if (capacity_ - size_ < count) Reserve(count + kStep);
        char* at = data_ + size_;
        size_ += count;
        return at;
    }
    //! Drops the bytes from `size` on. REQUIRES: size <= Size().
    void Truncate(qsizetype size) { size_ = size; }
    void Append(const QByteArray& bytes) {
        const qsizetype count = bytes.size();
        if (count > 0) std::memcpy(Extend(count), bytes.constData(), static_cast<size_t>(count));
    }

  private:
    static constexpr qsizetype kStep = 4096;

    void Reserve(qsizetype count) {
        out_.resize(size_ + count);
        data_ = out_.data();
        capacity_ = out_.size();
    }

    QByteArray& out_;
    qsizetype size_;
    char* data_ = nullptr;
    qsizetype capacity_ = 0;
};

}  // namespace morvane
