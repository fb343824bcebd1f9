#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "krl/ado/ado.h"
#include "krl/variant/variant.h"

namespace krl::host {

// The error log object: given the runtime error of a failing routine and the provider errors of
// its connection, it shows them to the person (through the thread's current presenter) and returns
// the answer: 3 Abort, 4 Retry, 5 Ignore.
class ErrorLog : public krl::Object {
  public:
    // Abort/Retry/Ignore, Retry by default, critical icon, system modal.
    static constexpr int ReportStyle = 4370;

    void setError(const VbError& error);
    void setProviderErrors(const krl::ado::Errors& errors);
    void clear();

    // The box title is the application title followed by the window caption; the text names the
    // procedure, the error and each provider error.
    int report(std::string_view applicationTitle, std::string_view caption,
               std::string_view procedure, int buttons = ReportStyle);

    std::string reportText(std::string_view procedure) const;

  private:
    std::optional<VbError> error_;
    std::vector<krl::ado::Error> providerErrors_;
};

}  // namespace krl::host
