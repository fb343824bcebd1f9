#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace zovrena::web {

// Who signed in, who was refused and who saved what: one tab-separated line per event (UTC time,
// event, user, company, client address, detail), appended to a file that is rotated when it grows
// past a size: "audit.log" becomes "audit.log.1", and so on up to the files kept.
class AuditLog {
  public:
    struct Entry {
        std::string_view event;  // "accesso", "accesso rifiutato", "uscita", "revoca", ...
        std::string_view user;
        std::optional<std::int32_t> company;
        std::string_view address;
        std::string_view detail;
    };

    explicit AuditLog(std::filesystem::path file, std::uintmax_t maxBytes = 10u << 20,
                      int keep = 5);

    void record(const Entry& entry);

    // One line as it is written, without the time and the line end.
    static std::string format(const Entry& entry);

  private:
    void rotate();

    std::filesystem::path file_;
    std::uintmax_t maxBytes_;
    int keep_;
    std::mutex mutex_;
    std::ofstream out_;
    std::uintmax_t size_ = 0;
};

}  // namespace zovrena::web
