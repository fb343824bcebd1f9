// The JSON writer: commas in nested objects and arrays, and strings that always read back as the
// text they were given (escapes) or as valid JSON (bytes that are not UTF-8).

#include "web/server/json_writer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace zovrena::web {
namespace {

using Json = nlohmann::json;

TEST(JsonWriter, Nested_members_are_separated_as_JSON_wants) {
    JsonWriter json;
    json.object()
        .field("name", "FRAME_CLIENTAREA")
        .field("visible", true)
        .field("maxLength", 14)
        .key("none")
        .null()
        .key("controls")
        .array()
        .object()
        .field("value", -3)
        .end()
        .object()
        .key("rows")
        .array()
        .end()
        .end()
        .raw("{\"already\":1}")
        .end()
        .key("empty")
        .object()
        .end()
        .end();
    EXPECT_EQ(json.text(),
              R"({"name":"FRAME_CLIENTAREA","visible":true,"maxLength":14,"none":null,)"
              R"("controls":[{"value":-3},{"rows":[]},{"already":1}],"empty":{}})");
    EXPECT_TRUE(Json::accept(json.text()));
}

TEST(JsonWriter, Strings_read_back_as_written) {
    const std::string cases[] = {
        "",
        "Priorità reperimento dep.",
        "a \"quoted\" \\ path",
        "line\nnext\r\ttab",
        std::string("nul\0byte", 8),
        "\x01\x1f control",
        "emoji \xF0\x9F\x98\x80 and € sign",
    };
    for (const auto& text : cases) {
        std::string out;
        appendJsonString(out, text);
        EXPECT_EQ(Json::parse(out).get<std::string>(), text) << out;
    }
}

TEST(JsonWriter, Bytes_that_are_not_UTF8_become_replacement_characters) {
    struct Case {
        std::string text;
        std::string readBack;
    };
    const std::string replacement = "\xEF\xBF\xBD";
    const Case cases[] = {
        {"caff\xE8", "caff" + replacement},                                           // Latin-1
        {"\xC3", replacement},                                                        // cut short
        {"\xC0\xAF", replacement + replacement},                                      // overlong
        {"\xED\xA0\x80", replacement + replacement + replacement},                    // a surrogate
        {"\xF5\x80\x80\x80", replacement + replacement + replacement + replacement},  // > U+10FFFF
    };
    for (const auto& c : cases) {
        std::string out;
        appendJsonString(out, c.text);
        EXPECT_EQ(Json::parse(out).get<std::string>(), c.readBack) << out;
    }
}

}  // namespace
}  // namespace zovrena::web
