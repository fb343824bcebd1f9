#include "krl/host/catalogue_message_service.h"

#include <utility>

#include "krl/host/presenter.h"

namespace krl::host {

CatalogueMessageService::CatalogueMessageService(std::shared_ptr<const MessageCatalogue> catalogue,
                                                 MessagePresenter* presenter)
    : catalogue_(catalogue ? std::move(catalogue) : MessageCatalogue::standard()),
      presenter_(presenter) {}

MessagePresenter& CatalogueMessageService::presenter() {
    return presenter_ != nullptr ? *presenter_ : currentPresenter();
}

int CatalogueMessageService::msgBox(std::string_view text, int buttons, std::string_view title) {
    return presenter().present({0, std::string(text), buttons, std::string(title)});
}

int CatalogueMessageService::msgBoxFromId(long messageId, int buttons, std::string_view title,
                                          const VariantArray& params) {
    return presenter().present(
        {messageId, catalogue_->text(messageId, params), buttons, std::string(title)});
}

std::string CatalogueMessageService::textFromId(long messageId, const VariantArray& params) {
    return catalogue_->text(messageId, params);
}

}  // namespace krl::host
