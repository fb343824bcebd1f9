#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "krl/variant/variant.h"

namespace krl::host {
class Cinterface;
class CLSFW_MULTILINGUA;
}  // namespace krl::host

namespace duza_zovrena::host {

// The message box and text translation of the program object and of its window: by message id
// through the host's message service reached from the program interface (ActiveDll); without one,
// the fallback message object shows the text behind "[x<id>x] ". Every step runs with errors
// ignored: a box that cannot be shown answers 0.
class ProgramMessages {
  public:
    ProgramMessages();
    ~ProgramMessages();
    ProgramMessages(const ProgramMessages&) = delete;
    ProgramMessages& operator=(const ProgramMessages&) = delete;

    int show(krl::host::Cinterface* activeDll, std::string_view text, long messageId, int buttons,
             std::string_view title, const krl::Variant& params = {});
    // With quoteForSql 1 every single quote of the result is doubled.
    std::string translate(krl::host::Cinterface* activeDll, std::string_view text, long messageId,
                          const krl::Variant& params = {}, int quoteForSql = 0);
    // Releases the fallback message object (created again on the next need).
    void releaseFallback();

  private:
    std::shared_ptr<krl::host::CLSFW_MULTILINGUA> fallback_;
};

}  // namespace duza_zovrena::host
