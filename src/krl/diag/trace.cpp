#include "krl/diag/trace.h"

#include <sodium.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "krl/diag/line_sink.h"

namespace krl::diag {

namespace {

std::mutex& hookMutex() {
    static std::mutex mutex;
    return mutex;
}

GuidGenerator& generatorHook() {
    static GuidGenerator generator;
    return generator;
}

// By default lines go to standard error only when ZOVRENA_DEBUG_OUTPUT=1.
LineSink& debugOutput() {
    static LineSink output([](std::string_view line) {
        static const bool toStderr = [] {
            const char* flag = std::getenv("ZOVRENA_DEBUG_OUTPUT");
            return flag != nullptr && std::string_view(flag) == "1";
        }();
        if (toStderr) {
            std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
        }
    });
    return output;
}

// A version 4 (random) GUID from the system's secure generator.
std::optional<Guid> systemGuid() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) {
        return std::nullopt;
    }
    std::array<std::uint8_t, 16> bytes{};
    randombytes_buf(bytes.data(), bytes.size());
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // variant 1
    Guid guid;
    guid.data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                 (std::uint32_t{bytes[2]} << 8) | bytes[3];
    guid.data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    guid.data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (std::size_t i = 0; i < 8; ++i) {
        guid.data4[i] = bytes[8 + i];
    }
    return guid;
}

}  // namespace

void setGuidGenerator(GuidGenerator generator) {
    std::lock_guard lock(hookMutex());
    generatorHook() = std::move(generator);
}

std::optional<Guid> newGuid() {
    GuidGenerator generator;
    {
        std::lock_guard lock(hookMutex());
        generator = generatorHook();
    }
    return generator ? generator() : systemGuid();
}

std::string guidText(const Guid& guid) {
    char buffer[33];
    std::snprintf(buffer, sizeof buffer, "%08X%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X", guid.data1,
                  guid.data2, guid.data3, guid.data4[0], guid.data4[1], guid.data4[2],
                  guid.data4[3], guid.data4[4], guid.data4[5], guid.data4[6], guid.data4[7]);
    return buffer;
}

void setDebugSink(DebugSink sink) {
    debugOutput().set(std::move(sink));
}

void outputDebugString(std::string_view line) {
    debugOutput().write(line);
}

const std::string& InstanceId::get() {
    if (id_.empty()) {
        if (auto guid = newGuid()) {
            id_ = guidText(*guid);
        }
    }
    return id_;
}

std::string traceLine(std::string_view instanceId, std::string_view phase,
                      std::string_view className) {
    std::string line = "ZNDR:";
    line.append("|").append(instanceId);
    line.append("|").append(phase);
    line.append("|DUZA_ZOVRENA");
    line.append("|").append(className);
    return line;
}

ObjectTrace::ObjectTrace(std::string className) : className_(std::move(className)) {
    outputDebugString(traceLine(id_.get(), "INI", className_));
}

ObjectTrace::~ObjectTrace() {
    outputDebugString(traceLine(id_.get(), "TER", className_));
}

}  // namespace krl::diag
