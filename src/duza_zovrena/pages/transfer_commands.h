#pragma once

namespace duza_zovrena::pages {

// The commands of the custom-field transfer page that the window's transfer navigator bar runs:
// write the settings of every document, delete them, or drop the pending changes. Each answers
// whether it went through.
class TransferCommands {
  public:
    virtual ~TransferCommands() = default;
    virtual bool Save() = 0;
    virtual bool Delete() = 0;
    virtual bool Undo() = 0;
};

}  // namespace duza_zovrena::pages
