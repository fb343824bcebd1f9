#pragma once

#include <string>
#include <utility>

#include "krl/variant/variant.h"

namespace krl::host {

// The host menu entry that started a program (the program interface's ClsVoceMenu).
class MenuEntry : public krl::Object {
  public:
    MenuEntry(Variant identifier, std::string caption, std::string progId)
        : identifier_(std::move(identifier)),
          caption_(std::move(caption)),
          progId_(std::move(progId)) {}

    const Variant& identifier() const { return identifier_; }
    const std::string& caption() const { return caption_; }
    const std::string& progId() const { return progId_; }

  private:
    Variant identifier_;
    std::string caption_;
    std::string progId_;
};

}  // namespace krl::host
