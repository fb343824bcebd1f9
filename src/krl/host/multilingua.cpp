#include "krl/host/multilingua.h"

namespace krl::host {

int CLSFW_MULTILINGUA::KRLMsgBox(std::string_view prompt, int buttons, std::string_view title) {
    return service_.msgBox(prompt, buttons, title);
}

int CLSFW_MULTILINGUA::KRLMsgBoxFromId(long messageId, int buttons, std::string_view title) {
    return service_.msgBoxFromId(messageId, buttons, title, {});
}

int CLSFW_MULTILINGUA::KRLMsgBoxFromIdConParametri(long messageId, int buttons,
                                                   std::string_view title,
                                                   const VariantArray& params) {
    return service_.msgBoxFromId(messageId, buttons, title, params);
}

}  // namespace krl::host
