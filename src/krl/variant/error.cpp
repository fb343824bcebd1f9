#include "krl/variant/error.h"

#include <utility>

namespace krl {

VbError::VbError(long number, std::string description, std::string source)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      source_(std::move(source)) {}

namespace err {

void raise(long number, const std::string& description, const std::string& source) {
    throw VbError(number, description, source);
}

void overflow() {
    raise(Overflow, "Overflow");
}
void typeMismatch() {
    raise(TypeMismatch, "Type mismatch");
}
void invalidUseOfNull() {
    raise(InvalidUseOfNull, "Invalid use of Null");
}
void objectNotSet(const std::string& what) {
    raise(ObjectNotSet, what.empty() ? "Object variable or With block variable not set"
                                     : "Object variable not set: " + what);
}

}  // namespace err
}  // namespace krl
