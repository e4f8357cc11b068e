#pragma once
// What the readers' entries share: the result of a file that gave no bytes, the one sink of their
// lines "<what is wrong> - <path>" on standard error, and their way out when memory runs out.

#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "io/host_files.h"
#include "io/read_result.h"

inline constexpr char kOutOfMemory[] = "Out of memory";
inline constexpr char kNotRegularFile[] = "Not a regular file";

// Why `file` gave no bytes: `cannotOpen` when it could not be opened, damaged with the same reason
// when it opened but could not be read, damaged with kNotRegularFile or kFileTooLarge when it was
// refused.
ReadResult unreadFileResult(const HostFile& file, std::string cannotOpen);

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

// Reports the reason of a result that is not read, and gives the result.
ReadResult reported(ReadResult result, std::string_view path);

// Runs the work of a reader's entry. When memory runs out inside it (std::bad_alloc, or a
// std::length_error for a size no container can take), it reports "Out of memory - <path>" and
// gives what `fail` gives: the reader then ends through its normal failure path.
template <typename Work, typename Fail>
auto failingWhenMemoryRunsOut(std::string_view path, Work work, Fail fail) -> decltype(work()) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    reportFileError(kOutOfMemory, path);
    return fail();
}
