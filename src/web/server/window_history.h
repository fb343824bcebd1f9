#pragma once

// "Storico": the change history of the record in front of the window (the general row, the
// document row chosen, or the transfer settings on the transfer page), newest first, read a page
// at a time on the window's thread through the window's connection.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "duza_zovrena/data/history.h"

namespace duza_zovrena::window {
class FRMPD_ZOVRENA;
}

namespace zovrena::web {

class JsonWriter;

class HistoryView {
  public:
    // Change sets read per page.
    static constexpr std::size_t kPageSize = 50;

    // The history of the record in front, its first page read; nullopt with the reason in
    // notice when there is no record to show it for.
    static std::optional<HistoryView> open(duza_zovrena::window::FRMPD_ZOVRENA& window,
                                           std::string& notice);

    // Reads the next page; nothing when every change set is shown.
    void more(duza_zovrena::window::FRMPD_ZOVRENA& window);

    void write(JsonWriter& json) const;

    const std::vector<duza_zovrena::data::HistoryEntry>& shown() const { return shown_; }
    std::size_t total() const { return ids_.size(); }

  private:
    std::string title_;
    duza_zovrena::data::HistoryRecord record_;
    std::vector<std::int64_t> ids_;  // every change set of the record, newest first
    std::vector<duza_zovrena::data::HistoryEntry> shown_;
};

}  // namespace zovrena::web
