#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zovrena::web {

// Writes JSON text straight into a string, commas and escapes included. Window snapshots are
// written with it on every answer; building a document tree first cost more than the program's
// own work for a click.
//
//   JsonWriter json;
//   json.object().field("name", "FRAME_CLIENTAREA").key("controls").array().end().end();
class JsonWriter {
  public:
    JsonWriter& object();
    JsonWriter& array();
    // Closes the innermost object or array.
    JsonWriter& end();
    JsonWriter& key(std::string_view name);

    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(bool flag);
    template <std::integral T>
    requires(!std::same_as<T, bool>) JsonWriter& value(T number) {
        return integer(static_cast<std::int64_t>(number));
    }
    JsonWriter& null();
    // A value already written as JSON.
    JsonWriter& raw(std::string_view json);

    template <typename T>
    JsonWriter& field(std::string_view name, const T& v) {
        key(name);
        return value(v);
    }

    void reserve(std::size_t bytes) { out_.reserve(bytes); }
    const std::string& text() const { return out_; }
    std::string take() { return std::move(out_); }

  private:
    JsonWriter& integer(std::int64_t number);
    void beforeValue();

    std::string out_;
    std::vector<char> closers_;
    bool first_ = true;      // nothing written yet in the innermost object or array
    bool afterKey_ = false;  // a key waits for its value
};

// Appends `text` as a JSON string. Bytes that are not UTF-8 become U+FFFD, so that the answer is
// always valid JSON whatever a database column held.
void appendJsonString(std::string& out, std::string_view text);

}  // namespace zovrena::web
