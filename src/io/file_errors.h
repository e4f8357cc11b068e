#pragma once
// What the readers' entries share: the result of a file that gave no bytes, the one sink of their
// lines "<what is wrong> - <path>" (on standard error, and the TGA reader's on standard output),
// and their way out when memory runs out: no exception leaves a reader.

#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "io/file_texts.h"
#include "io/read_result.h"

// Why a file gave no bytes, as the reader tells it: a file that could not be opened or read gets
// the reader's `cannotOpen` text (its kind stays cannotOpen or unreadable); a refused file keeps
// kNotRegularFile or kFileTooLarge.
ReadResult unreadFileResult(const ReadResult& unread, const FailureText& cannotOpen);

// One line "<what is wrong> - <path>" on standard error, the control characters of both escaped.
// While a FileErrorsOncePerLoad lives, each pair of what and path gives its line once.
void reportFileError(std::string_view what, std::string_view path);

// The span of one scene load (the shell keeps one over each): a file that names the same broken
// texture a thousand times gives one line.
class FileErrorsOncePerLoad {
  public:
    FileErrorsOncePerLoad();
    ~FileErrorsOncePerLoad();
    FileErrorsOncePerLoad(const FileErrorsOncePerLoad&) = delete;
    FileErrorsOncePerLoad& operator=(const FileErrorsOncePerLoad&) = delete;
};

// Writes the line of a result that is not read on its channel: standard error (reportFileError),
// or standard output, at once, for the TGA reader's line. A message box is left to the reader,
// which knows its owner. Gives the result.
ReadResult reported(ReadResult result, std::string_view path);

// Runs `work`; when memory runs out inside it (std::bad_alloc, or a std::length_error for a size
// no container can take), gives what `ranOut` gives instead.
template <typename Work, typename RanOut>
auto ifMemoryRunsOut(Work work, RanOut ranOut) -> decltype(work()) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return ranOut();
}

// Runs `work`, giving kOutOfMemory when memory runs out inside it. For parsers and decoders, which
// say nothing.
template <typename Work>
auto catchingOutOfMemory(Work work) -> decltype(work()) {
    return ifMemoryRunsOut(work, []() -> decltype(work()) { return kOutOfMemory; });
}

// Runs the work of a reader's entry. When memory runs out inside it, it reports
// "Out of memory - <path>" and gives what `fail` gives: the reader then ends through its normal
// failure path.
template <typename Work, typename Fail>
auto failingWhenMemoryRunsOut(std::string_view path, Work work, Fail fail) -> decltype(work()) {
    return ifMemoryRunsOut(work, [&] {
        reportFileError(kOutOfMemory.text, path);
        return fail();
    });
}
