#pragma once

// A parameter set applied to a company: every row through the save rules the window runs, the
// codes checked against what the company has, and then all of it written in one transaction, or
// nothing when anything is refused.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "duza_zovrena/params/param_set.h"
#include "krl/ado/ado.h"

namespace duza_zovrena::params {

struct ColumnChange {
    std::string column;
    krl::Variant before;  // null for a new row
    krl::Variant after;   // null for a removed row
};

// What one row's write changed.
struct ChangeSet {
    std::string table;
    std::string documentCode;  // empty for the general row
    std::vector<ColumnChange> changes;
};

// Called inside the import's transaction once the rows are written and recorded in the history,
// with what they changed and the user the import runs for; raising rolls the whole import back.
using ChangesWritten =
    std::function<void(krl::ado::Connection& connection, long company, const std::string& user,
                       const std::vector<ChangeSet>& changes)>;

struct ImportOptions {
    bool dryRun = false;  // check and report, write nothing
    std::string user;
    ChangesWritten changesWritten;
};

struct ImportResult {
    // Each refusal: a code the company lacks (in the health check's words) or a save rule's
    // message. Any refusal: nothing written.
    std::vector<std::string> refusals;
    std::vector<ChangeSet> changes;  // what was written, or would be on a dry run
    bool written = false;
};

// The company must exist. Database failures raise krl::VbError, after rolling back.
ImportResult importSet(const std::shared_ptr<krl::ado::Connection>& connection, long company,
                       const ParamSet& set, const ImportOptions& options);

}  // namespace duza_zovrena::params
