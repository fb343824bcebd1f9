#pragma once

#include <functional>
#include <string_view>

namespace krl::diag {

// The server's error log: what went wrong in a form meant for whoever runs the program (engine
// texts, statement details), never shown to the person at the window. Lines go to standard error
// unless a sink is set (tests read them through it).
using LogSink = std::function<void(std::string_view line)>;
void setLogSink(LogSink sink);  // an empty function restores standard error
void logError(std::string_view line);

}  // namespace krl::diag
