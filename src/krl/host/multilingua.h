#pragma once

#include <string_view>

#include "krl/host/catalogue_message_service.h"

namespace krl::host {

// The message object a program creates by ProgID when it has no host to ask: boxes through the
// calling thread's current presenter, texts from the standard catalogue.
class CLSFW_MULTILINGUA : public krl::Object {
  public:
    static constexpr std::string_view progId = "FWBO_MULTILINGUA.CLSFW_MULTILINGUA";

    int KRLMsgBox(std::string_view prompt, int buttons, std::string_view title);
    int KRLMsgBoxFromId(long messageId, int buttons, std::string_view title);
    int KRLMsgBoxFromIdConParametri(long messageId, int buttons, std::string_view title,
                                    const VariantArray& params);

  private:
    CatalogueMessageService service_;
};

}  // namespace krl::host
