#pragma once
// What a reader made of its file, the one answer of every reader: read, cannot open, or damaged,
// with the reason. A parser answers with the records of the whole file or the reason it is
// damaged; it reports nothing itself, and the reader's entry decides who hears of it.

#include <optional>
#include <string>
#include <utility>

enum class ReadStatus { read, cannotOpen, damaged };

// Why a file could not be opened.
struct CannotOpen {
    std::string reason;
};

// Why a file's contents cannot be used.
struct Damaged {
    std::string reason;
};

class ReadResult {
  public:
    // The file was read.
    ReadResult() = default;
    ReadResult(CannotOpen failure)
        : status_(ReadStatus::cannotOpen), reason_(std::move(failure.reason)) {}
    ReadResult(Damaged failure)
        : status_(ReadStatus::damaged), reason_(std::move(failure.reason)) {}

    ReadStatus status() const { return status_; }
    // Empty when the file was read.
    const std::string& reason() const { return reason_; }
    // Whether the file was read, for the callers that only ask that.
    explicit operator bool() const { return status_ == ReadStatus::read; }

  private:
    ReadStatus status_ = ReadStatus::read;
    std::string reason_;
};

template <typename Records>
class Parsed {
  public:
    Parsed(Records records) : records_(std::move(records)) {}
    Parsed(Damaged failure) : reason_(std::move(failure.reason)) {}

    explicit operator bool() const { return records_.has_value(); }
    Records& operator*() { return *records_; }
    const Records& operator*() const { return *records_; }
    Records* operator->() { return &*records_; }
    const Records* operator->() const { return &*records_; }
    // Empty when the file parsed.
    const std::string& reason() const { return reason_; }
    // Read, or damaged with the reason.
    ReadResult result() const { return records_ ? ReadResult() : ReadResult(Damaged{reason_}); }

  private:
    std::optional<Records> records_;
    std::string reason_;
};
