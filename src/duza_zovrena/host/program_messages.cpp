#include "duza_zovrena/host/program_messages.h"

#include "krl/host/cinterface.h"
#include "krl/host/global.h"
#include "krl/host/multilingua.h"
#include "krl/host/progid.h"
#include "krl/trap/trap.h"

namespace duza_zovrena::host {

namespace kh = krl::host;

namespace {

kh::MessageService& hostService(kh::Cinterface& dll) {
    std::shared_ptr<kh::ClsGlobal> global = dll.clsGlobal();
    if (!global) {
        krl::err::objectNotSet("ClsGlobal");
    }
    std::shared_ptr<kh::MessageService> service = global->messageService();
    if (!service) {
        krl::err::objectNotSet("MessageService");
    }
    return *service;
}

std::string prefixed(long messageId, std::string_view text) {
    return "[x" + std::to_string(messageId) + "x] " + std::string(text);
}

}  // namespace

ProgramMessages::ProgramMessages() = default;
ProgramMessages::~ProgramMessages() = default;

int ProgramMessages::show(kh::Cinterface* activeDll, std::string_view text, long messageId,
                          int buttons, std::string_view title, const krl::Variant& params) {
    int answer = 0;
    krl::trap::ignoring([&] {
        if (activeDll == nullptr) {
            if (!fallback_) {
                fallback_ =
                    kh::createObjectAs<kh::CLSFW_MULTILINGUA>(kh::CLSFW_MULTILINGUA::progId);
            }
            answer = fallback_->KRLMsgBox(prefixed(messageId, text), buttons, title);
        } else if (messageId < 1) {
            answer = hostService(*activeDll).msgBox(text, buttons, title);
        } else if (params.isArray()) {
            answer =
                hostService(*activeDll).msgBoxFromId(messageId, buttons, title, params.array());
        } else {
            answer = hostService(*activeDll).msgBoxFromId(messageId, buttons, title, {});
        }
    });
    return answer;
}

std::string ProgramMessages::translate(kh::Cinterface* activeDll, std::string_view text,
                                       long messageId, const krl::Variant& params,
                                       int quoteForSql) {
    std::string result;
    krl::trap::ignoring([&] {
        if (activeDll == nullptr || messageId < 1) {
            result = prefixed(messageId, text);
        } else if (params.isArray()) {
            result = hostService(*activeDll).textFromId(messageId, params.array());
        } else {
            result = hostService(*activeDll).textFromId(messageId, {});
        }
    });
    if (quoteForSql == 1) {
        result = krl::doubleQuotes(result);
    }
    return result;
}

void ProgramMessages::releaseFallback() {
    fallback_.reset();
}

}  // namespace duza_zovrena::host
