#include "krl/diag/log.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace krl::diag {

namespace {

std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

LogSink& sink() {
    static LogSink current;
    return current;
}

}  // namespace

void setLogSink(LogSink value) {
    std::lock_guard lock(sinkMutex());
    sink() = std::move(value);
}

void logError(std::string_view line) {
    std::lock_guard lock(sinkMutex());
    if (sink()) {
        sink()(line);
        return;
    }
    std::fprintf(stderr, "zovrena: %.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace krl::diag
