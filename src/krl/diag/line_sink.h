#pragma once

#include <functional>
#include <mutex>
#include <string_view>

namespace krl::diag {

// Where lines of a diagnostic output go: a function set in its place (tests read the lines through
// it), else the output's own default. Lines are written one at a time.
class LineSink {
  public:
    using Function = std::function<void(std::string_view line)>;

    explicit LineSink(Function fallback) : fallback_(std::move(fallback)) {}

    // An empty function restores the default.
    void set(Function function);
    void write(std::string_view line);

  private:
    std::mutex mutex_;
    Function fallback_;
    Function replacement_;
};

}  // namespace krl::diag
