#include "krl/host/formatters.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <vector>

namespace krl::host {

std::string NumberFormatter::sqlText(const Variant& value) const {
    switch (value.type()) {
        case Variant::Type::Boolean:
        case Variant::Type::Integer:
        case Variant::Type::Long:
        case Variant::Type::LongLong:
            return std::to_string(value.toInt64());
        default:
            return krl::numberText(value.toDouble());
    }
}

namespace {

struct Parts {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool hasTime = false;
};

bool allDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

int number(std::string_view digits) {
    int value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == separator) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// Day, month and year in one of the accepted orders; nullopt when the shape is not a date.
std::optional<Parts> readDate(std::string_view text) {
    Parts parts;
    if (text.size() == 8 && allDigits(text)) {
        parts.year = number(text.substr(0, 4));
        parts.month = number(text.substr(4, 2));
        parts.day = number(text.substr(6, 2));
        return parts;
    }
    for (char separator : {'/', '-', '.'}) {
        std::vector<std::string_view> fields = split(text, separator);
        if (fields.size() != 3) {
            continue;
        }
        for (std::string_view field : fields) {
            if (!allDigits(field)) {
                return std::nullopt;
            }
        }
        if (fields[0].size() == 4 && separator == '-') {  // yyyy-mm-dd
            if (fields[1].size() > 2 || fields[2].size() > 2) {
                return std::nullopt;
            }
            parts.year = number(fields[0]);
            parts.month = number(fields[1]);
            parts.day = number(fields[2]);
            return parts;
        }
        if (fields[0].size() > 2 || fields[1].size() > 2 ||
            (fields[2].size() != 2 && fields[2].size() != 4)) {
            return std::nullopt;
        }
        parts.day = number(fields[0]);
        parts.month = number(fields[1]);
        parts.year = number(fields[2]);
        if (fields[2].size() == 2) {
            parts.year += parts.year < 30 ? 2000 : 1900;
        }
        return parts;
    }
    return std::nullopt;
}

bool readTime(std::string_view text, Parts& parts) {
    std::vector<std::string_view> fields = split(text, ':');
    if (fields.size() < 2 || fields.size() > 3) {
        return false;
    }
    for (std::string_view field : fields) {
        if (!allDigits(field) || field.size() > 2) {
            return false;
        }
    }
    parts.hour = number(fields[0]);
    parts.minute = number(fields[1]);
    parts.second = fields.size() == 3 ? number(fields[2]) : 0;
    parts.hasTime = true;
    return true;
}

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool inRange(const Parts& parts) {
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (parts.year < 1753 || parts.year > 9999 || parts.month < 1 || parts.month > 12) {
        return false;
    }
    int last = days[static_cast<std::size_t>(parts.month - 1)] +
               (parts.month == 2 && leapYear(parts.year) ? 1 : 0);
    if (parts.day < 1 || parts.day > last) {
        return false;
    }
    return parts.hour < 24 && parts.minute < 60 && parts.second < 60;
}

}  // namespace

int DateFormatter::setText(std::string_view text) {
    dbFormat_.clear();
    text = trim(text);
    if (text.empty()) {
        return code_ = Blank;
    }
    std::string_view datePart = text;
    std::string_view timePart;
    if (std::size_t blank = text.find(' '); blank != std::string_view::npos) {
        datePart = text.substr(0, blank);
        timePart = trim(text.substr(blank + 1));
    }
    std::optional<Parts> parts = readDate(datePart);
    if (!parts || (!timePart.empty() && !readTime(timePart, *parts))) {
        return code_ = NotADate;
    }
    if (!inRange(*parts)) {
        return code_ = OutOfRange;
    }
    char buffer[80];  // room for any int, so the compiler can prove nothing is cut
    if (parts->hasTime) {
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d %02d:%02d:%02d", parts->year,
                      parts->month, parts->day, parts->hour, parts->minute, parts->second);
    } else {
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", parts->year, parts->month, parts->day);
    }
    dbFormat_ = buffer;
    return code_ = Valid;
}

}  // namespace krl::host
