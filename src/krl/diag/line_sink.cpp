#include "krl/diag/line_sink.h"

#include <utility>

namespace krl::diag {

void LineSink::set(Function function) {
    std::lock_guard lock(mutex_);
    replacement_ = std::move(function);
}

void LineSink::write(std::string_view line) {
    std::lock_guard lock(mutex_);
    (replacement_ ? replacement_ : fallback_)(line);
}

}  // namespace krl::diag
