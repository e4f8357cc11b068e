#pragma once
// What a reader made of its file, the one answer of every reader and decoder: read, or a failure
// of one kind with the text that tells it and the channel that text goes to. A parser answers with
// the records of the whole file (Result<Records>) or the failure; it reports nothing itself, and
// the reader's entry decides who hears of it. The texts of each reader stand in one table beside
// it, as FailureText entries.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// What kind of failure a file met. `none` is a file that was read.
enum class Failure {
    none,
    tooShort,        // the file ends before what it announces
    outOfRange,      // a count, size or index outside what the format allows
    tooLarge,        // the file or image is larger than the viewer takes
    unsupported,     // a layout the reader does not decode
    cannotOpen,      // the file is not there, or may not be opened
    unreadable,      // the file opened but gave no bytes (a folder, a read that failed)
    notRegularFile,  // a FIFO, socket or device, refused at once
    outOfMemory,     // memory ran out while the file was read
    overBudget,      // the file would pass what is left of the scene load's budget
};

// Where a failure's text goes: a line "<text> - <path>" on standard error, a message box, or the
// TGA reader's line "<text> - <path>" on standard output.
enum class Channel { standardError, messageBox, standardOutput };

// One text of a reader's table. A "%s" in the text stands for a detail the reader fills in.
struct FailureText {
    Failure kind;
    Channel channel;
    std::string_view text;
};

class ReadResult {
  public:
    // The file was read.
    ReadResult() = default;
    // The entry's failure, each "%s" of its text replaced by the next detail.
    ReadResult(const FailureText& entry, std::initializer_list<std::string_view> details = {})
        : kind_(entry.kind), channel_(entry.channel), reason_(filledIn(entry.text, details)) {}

    Failure kind() const { return kind_; }
    Channel channel() const { return channel_; }
    // Empty when the file was read.
    const std::string& reason() const { return reason_; }
    // Whether the file was read, for the callers that only ask that.
    explicit operator bool() const { return kind_ == Failure::none; }

    // The same kind of failure, told with the entry's text on the entry's channel.
    ReadResult toldAs(const FailureText& entry,
                      std::initializer_list<std::string_view> details = {}) const {
        return {{kind_, entry.channel, entry.text}, details};
    }
    // The same failure, its text going to `channel`.
    ReadResult sentTo(Channel channel) const {
        ReadResult sent = *this;
        sent.channel_ = channel;
        return sent;
    }
    // The same failure, its text led by `lead` (as "model node 3: ").
    ReadResult ledBy(std::string_view lead) const {
        ReadResult led = *this;
        led.reason_.insert(0, lead);
        return led;
    }

  private:
    static std::string filledIn(std::string_view text,
                                std::initializer_list<std::string_view> details) {
        std::string filled;
        const std::string_view* detail = details.begin();
        for (std::size_t at = text.find("%s");
             at != std::string_view::npos && detail != details.end();
             at = text.find("%s"), ++detail) {
            filled.append(text.substr(0, at)).append(*detail);
            text.remove_prefix(at + 2);
        }
        return filled.append(text);
    }

    Failure kind_ = Failure::none;
    Channel channel_ = Channel::standardError;
    std::string reason_;
};

// A reader's or decoder's value, or the failure that left it without one.
template <typename Value>
class Result {
  public:
    Result(Value value) : value_(std::move(value)) {}
    // `failure` is one: a result that was read carries its value.
    Result(ReadResult failure) : failure_(std::move(failure)) {}
    Result(const FailureText& entry, std::initializer_list<std::string_view> details = {})
        : failure_(entry, details) {}

    explicit operator bool() const { return value_.has_value(); }
    Value& operator*() { return *value_; }
    const Value& operator*() const { return *value_; }
    Value* operator->() { return &*value_; }
    const Value* operator->() const { return &*value_; }

    // Read, or the failure.
    const ReadResult& result() const { return failure_; }
    Failure kind() const { return failure_.kind(); }
    // Empty when there is a value.
    const std::string& reason() const { return failure_.reason(); }

  private:
    std::optional<Value> value_;
    ReadResult failure_;
};
