#pragma once

#include <stdexcept>
#include <string>

namespace krl {

// A runtime error as the framework reports it: a number, a description and the object that raised
// it. Every failure inside the framework and the component travels as one of these, so the error
// routines can hand number and text to the host's error log object.
class VbError : public std::runtime_error {
  public:
    VbError(long number, std::string description, std::string source = {});

    long number() const { return number_; }
    const std::string& description() const { return description_; }
    const std::string& source() const { return source_; }

  private:
    long number_;
    std::string description_;
    std::string source_;
};

// Well-known error numbers of the runtime.
namespace err {
inline constexpr long InvalidProcedureCall = 5;
inline constexpr long Overflow = 6;
inline constexpr long TypeMismatch = 13;
inline constexpr long ObjectNotSet = 91;
inline constexpr long InvalidUseOfNull = 94;
inline constexpr long AutomationError = 440;
inline constexpr long CannotCreateObject = 429;
inline constexpr long ObjectDoesNotSupport = 438;

[[noreturn]] void raise(long number, const std::string& description,
                        const std::string& source = {});
[[noreturn]] void overflow();
[[noreturn]] void typeMismatch();
[[noreturn]] void invalidUseOfNull();
[[noreturn]] void objectNotSet(const std::string& what = {});
}  // namespace err

// The object behind a reference, or error 91 naming what was not set.
template <class Pointer>
auto& require(const Pointer& object, const char* what) {
    if (!object) {
        err::objectNotSet(what);
    }
    return *object;
}

}  // namespace krl
