#pragma once

#include <memory>
#include <string>

#include "krl/variant/variant.h"

namespace krl::ado {
class Recordset;
}

namespace krl::host {

// What a program reaches of the data frame in front (the program interface's ActiveFrame); the
// data frame implements it.
class FrameAccess : public krl::Object {
  public:
    // 0 viewing, 2 inserting a new row, any other value changing an existing row.
    virtual int status() const = 0;
    virtual std::shared_ptr<krl::ado::Recordset> recordset() const = 0;
    virtual std::string name() const = 0;
    virtual void setName(std::string name) = 0;
    // Confirms the row being edited (the frame runs its before-update check and writes the row).
    virtual void update() = 0;
};

}  // namespace krl::host
