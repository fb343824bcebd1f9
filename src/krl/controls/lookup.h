#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "krl/variant/variant.h"

namespace krl::ado {
class Connection;
}

namespace krl::controls {

// The rows of a code field's lookup, as the person is shown them.
struct LookupList {
    std::string control;                         // the edit control that asked
    std::string title;                           // the lookup text of StartLookup
    std::vector<std::string> columns;            // column names of the lookup query
    std::vector<std::string> captions;           // what the person reads above each column
    std::vector<std::vector<std::string>> rows;  // cell texts; Null shows as ""
    Variant extra;                               // StartLookup's Extra
    Variant description;                         // the edit control's lookup property

    // The code a row stands for: its first cell.
    const std::string& code(std::size_t row) const { return rows.at(row).front(); }
};

// Shows a lookup list and returns the row the person chose, or nothing when they closed it. The
// web host lists the rows and blocks the window thread until the browser answers; tests choose
// from a script.
class LookupPresenter {
  public:
    virtual ~LookupPresenter() = default;
    virtual std::optional<std::size_t> choose(const LookupList& list) = 0;
};

// Chooses rows from a queue of answers and keeps every list it was shown (for tests and
// unattended runs); with nothing queued the list is closed without a choice.
class ScriptedLookupPresenter : public LookupPresenter {
  public:
    std::optional<std::size_t> choose(const LookupList& list) override;

    std::vector<std::optional<std::size_t>> answers;
    std::vector<LookupList> shown;
};

// The presenter of the current (window) thread; null when none was set.
LookupPresenter* currentLookupPresenter();
void setCurrentLookupPresenter(LookupPresenter* presenter);

// Makes a presenter current for a scope and puts the previous one back afterwards.
class ScopedLookupPresenter {
  public:
    explicit ScopedLookupPresenter(LookupPresenter& presenter);
    ~ScopedLookupPresenter();
    ScopedLookupPresenter(const ScopedLookupPresenter&) = delete;
    ScopedLookupPresenter& operator=(const ScopedLookupPresenter&) = delete;

  private:
    LookupPresenter* previous_;
};

// The connections the edit controls open to run their decode and lookup queries: one per
// connection string and per thread, opened on first use and reopened when found closed.
std::shared_ptr<ado::Connection> decodeConnection(const std::string& connectionString);
// Closes and forgets every connection of the current thread (the window closes).
void closeDecodeConnections();

}  // namespace krl::controls
