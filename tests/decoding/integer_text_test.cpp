#include "decoding/integer_text.h"

#include <gtest/gtest.h>

namespace qmp {
namespace {

TEST(TextToInteger, Rules) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"10", 10},         {"0x0A", 10},  {"0X0a", 10},  {"$ff", 255},
        {"x10", 16},        {"X10", 16},   {"-$10", -16}, {"+7", 7},
        {"-12", -12},       {"12abc", 12}, {"1.5", 1},    {"0.5", 0},
        {"150", 150},       {"", 0},       {"abc", 0},    {"   42", 42},
        {"\t42", 0},        {"- 5", 0},    {"0x", 0},     {"$", 0},
        {"01", 1},          {"1abc", 1},   {"true", 0},   {"4294967295", -1},
        {"4294967306", 10},  // wraps to 32 bits
        {"0xFFFFFFFF", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextToInteger(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace qmp
