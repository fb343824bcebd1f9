#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "krl/variant/variant.h"

namespace krl::host {

// The host's multilingual store (Italian only): one text per message id. Texts may carry the
// placeholders "%1", "%2", ... replaced by the parameters' text.
class MessageCatalogue {
  public:
    // The standard catalogue of the host.
    static std::shared_ptr<const MessageCatalogue> standard();

    MessageCatalogue() = default;

    void add(long messageId, std::string text);  // replaces an existing text
    std::optional<std::string> find(long messageId) const;
    std::size_t size() const { return texts_.size(); }

    // The text for the id with its parameters; an id that is not in the catalogue gives a text that
    // names the id.
    std::string text(long messageId, const VariantArray& params = {}) const;

  private:
    std::map<long, std::string> texts_;
};

// "%1", "%2", ... replaced by the text of the matching parameter (a missing parameter leaves its
// placeholder as it is; "%10" is never read as "%1" followed by "0").
std::string formatMessage(std::string_view text, const VariantArray& params);

}  // namespace krl::host
