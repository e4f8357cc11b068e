#pragma once
// Runs a read of a FIFO that must not wait for a writer, without letting a test hang when it does.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <type_traits>

// What `read` gives, or nothing when it has not returned after a generous while. A read that waits
// on the FIFO is then let go by a writer that opens and closes it, so the test ends either way.
template <typename Read>
auto withoutWaiting(const std::filesystem::path& fifo, Read read)
    -> std::optional<std::invoke_result_t<Read>> {
    auto pending = std::async(std::launch::async, read);
    if (pending.wait_for(std::chrono::seconds(20)) == std::future_status::ready) {
        return pending.get();
    }
    while (pending.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            ::close(writer);
        }
    }
    return std::nullopt;
}
