#include "web/server/audit_log.h"

#include <array>
#include <chrono>
#include <ctime>

namespace zovrena::web {

namespace {

// What a client sent goes in as it came, but never breaks a line or a field.
void appendField(std::string& line, std::string_view text) {
    line += '\t';
    for (const char c : text.substr(0, 128)) {
        const auto byte = static_cast<unsigned char>(c);
        line += byte < 0x20 || byte == 0x7f ? '?' : c;
    }
}

std::string utcNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm parts{};
    gmtime_r(&now, &parts);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text.data();
}

}  // namespace

AuditLog::AuditLog(std::filesystem::path file, std::uintmax_t maxBytes, int keep)
    : file_(std::move(file)), maxBytes_(maxBytes), keep_(keep) {
    std::error_code error;
    size_ = std::filesystem::file_size(file_, error);
    if (error) {
        size_ = 0;
    }
    out_.open(file_, std::ios::app);
}

std::string AuditLog::format(const Entry& entry) {
    std::string line(entry.event);
    appendField(line, entry.user);
    appendField(line, entry.company ? std::to_string(*entry.company) : std::string());
    appendField(line, entry.address);
    appendField(line, entry.detail);
    return line;
}

void AuditLog::record(const Entry& entry) {
    const std::string line = utcNow() + '\t' + format(entry) + '\n';
    std::lock_guard lock(mutex_);
    if (size_ + line.size() > maxBytes_ && size_ > 0) {
        rotate();
    }
    out_ << line << std::flush;
    size_ += line.size();
}

void AuditLog::rotate() {
    out_.close();
    std::error_code ignored;
    const auto numbered = [this](int n) {
        return std::filesystem::path(file_.string() + "." + std::to_string(n));
    };
    std::filesystem::remove(numbered(keep_), ignored);
    for (int n = keep_ - 1; n >= 1; --n) {
        std::filesystem::rename(numbered(n), numbered(n + 1), ignored);
    }
    std::filesystem::rename(file_, numbered(1), ignored);
    out_.open(file_, std::ios::app);
    size_ = 0;
}

}  // namespace zovrena::web
