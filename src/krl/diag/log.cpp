#include "krl/diag/log.h"

#include <cstdio>
#include <utility>

#include "krl/diag/line_sink.h"

namespace krl::diag {

namespace {

LineSink& sink() {
    static LineSink errors([](std::string_view line) {
        std::fprintf(stderr, "zovrena: %.*s\n", static_cast<int>(line.size()), line.data());
    });
    return errors;
}

}  // namespace

void setLogSink(LogSink value) {
    sink().set(std::move(value));
}

void logError(std::string_view line) {
    sink().write(line);
}

}  // namespace krl::diag
