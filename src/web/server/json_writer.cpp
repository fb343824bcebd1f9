#include "web/server/json_writer.h"

#include <array>
#include <charconv>

namespace zovrena::web {

namespace {

// The length of the UTF-8 sequence starting at `text[i]`, or 0 when it is not one.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (byte >= 0xC2 && byte <= 0xDF) {
        length = 2;
        minimum = 0x80;
        code = byte & 0x1Fu;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        length = 3;
        minimum = 0x800;
        code = byte & 0x0Fu;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        code = byte & 0x07u;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6u) | (next & 0x3Fu);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < minimum || code > 0x10FFFF || surrogate ? 0 : length;
}

// Bytes that go into a JSON string as they are: printable ASCII but the quote and the backslash.
constexpr auto plainBytes = [] {
    std::array<bool, 256> plain{};
    for (int byte = 0x20; byte < 0x80; ++byte) {
        plain[static_cast<std::size_t>(byte)] = byte != '"' && byte != '\\';
    }
    return plain;
}();

bool plain(char c) {
    return plainBytes[static_cast<unsigned char>(c)];
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    out.push_back('"');
    std::size_t i = 0;
    while (i < text.size()) {
        if (plain(text[i])) {
            std::size_t run = i + 1;
            while (run < text.size() && plain(text[run])) {
                ++run;
            }
            out.append(text.substr(i, run - i));
            i = run;
            continue;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        switch (byte) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    out += "\\u00";
                    out.push_back(hex[byte >> 4u]);
                    out.push_back(hex[byte & 0x0Fu]);
                } else if (const std::size_t length = sequenceLength(text, i); length > 0) {
                    out.append(text.substr(i, length));
                    i += length;
                    continue;
                } else {
                    out += "\xEF\xBF\xBD";  // U+FFFD
                }
                break;
        }
        ++i;
    }
    out.push_back('"');
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_) {
        out_.push_back(',');
    }
    first_ = false;
}

JsonWriter& JsonWriter::object() {
    beforeValue();
    out_.push_back('{');
    closers_.push_back('}');
    first_ = true;
    return *this;
}

JsonWriter& JsonWriter::array() {
    beforeValue();
    out_.push_back('[');
    closers_.push_back(']');
    first_ = true;
    return *this;
}

JsonWriter& JsonWriter::end() {
    if (!closers_.empty()) {
        out_.push_back(closers_.back());
        closers_.pop_back();
    }
    first_ = false;
    afterKey_ = false;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    if (!first_) {
        out_.push_back(',');
    }
    first_ = false;
    appendJsonString(out_, name);
    out_.push_back(':');
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    beforeValue();
    appendJsonString(out_, text);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    beforeValue();
    out_ += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::integer(std::int64_t number) {
    beforeValue();
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, number);
    out_.append(digits, written.ptr);
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    out_ += "null";
    return *this;
}

JsonWriter& JsonWriter::raw(std::string_view json) {
    beforeValue();
    out_.append(json);
    return *this;
}

}  // namespace zovrena::web
