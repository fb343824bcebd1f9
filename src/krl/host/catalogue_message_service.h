#pragma once

#include <memory>

#include "krl/host/message_catalogue.h"
#include "krl/host/message_service.h"

namespace krl::host {

// The host's message service: texts from a catalogue, boxes drawn by a presenter (a given one, or
// the current presenter of the calling thread, so that each window draws its boxes in its own
// place).
class CatalogueMessageService : public MessageService {
  public:
    explicit CatalogueMessageService(
        std::shared_ptr<const MessageCatalogue> catalogue = MessageCatalogue::standard(),
        MessagePresenter* presenter = nullptr);

    int msgBox(std::string_view text, int buttons, std::string_view title) override;
    int msgBoxFromId(long messageId, int buttons, std::string_view title,
                     const VariantArray& params) override;
    std::string textFromId(long messageId, const VariantArray& params) override;

    const MessageCatalogue& catalogue() const { return *catalogue_; }

  private:
    MessagePresenter& presenter();

    std::shared_ptr<const MessageCatalogue> catalogue_;
    MessagePresenter* presenter_;
};

}  // namespace krl::host
