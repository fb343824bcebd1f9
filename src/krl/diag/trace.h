#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace krl::diag {

// A GUID as the system generator gives it: one 32-bit field, two 16-bit fields, eight bytes.
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};
};

// The system GUID generator; nullopt when generation fails. Replaceable for tests.
using GuidGenerator = std::function<std::optional<Guid>()>;
void setGuidGenerator(GuidGenerator generator);  // an empty function restores the system one
std::optional<Guid> newGuid();

// The GUID written field by field as upper-case hexadecimal, every field padded with "0":
// 8 + 4 + 4 + 8 * 2 = 32 digits, no braces, no dashes.
std::string guidText(const Guid& guid);

// The debugger output (one ANSI string per call). Replaceable so that tests can read the lines;
// by default lines go to standard error only when ZOVRENA_DEBUG_OUTPUT=1.
using DebugSink = std::function<void(std::string_view line)>;
void setDebugSink(DebugSink sink);  // an empty function restores the default
void outputDebugString(std::string_view line);

// A per-object instance id: made from a fresh GUID on first use and kept for the object's life;
// empty when the generator fails, and generation is tried again at the next use.
class InstanceId {
  public:
    const std::string& get();

  private:
    std::string id_;
};

// "ZNDR:|<instance id>|<INI or TER>|DUZA_ZOVRENA|<class name>"
std::string traceLine(std::string_view instanceId, std::string_view phase,
                      std::string_view className);

// Writes the creation line when constructed and the destruction line when destroyed. Members of
// this type go first in an object so that "INI" is the first and "TER" the last thing it writes.
class ObjectTrace {
  public:
    explicit ObjectTrace(std::string className);
    ~ObjectTrace();
    ObjectTrace(const ObjectTrace&) = delete;
    ObjectTrace& operator=(const ObjectTrace&) = delete;

    const std::string& className() const { return className_; }
    const std::string& instanceId() { return id_.get(); }

  private:
    std::string className_;
    InstanceId id_;
};

}  // namespace krl::diag
