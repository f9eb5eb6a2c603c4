#include <gtest/gtest.h>

#include <cstdint>

#include "interpreter/utf8.h"

namespace qv {
namespace {

// The plain textbook encoder, for the property below.
std::string encode(uint32_t code) {
    std::string s;
    if (code < 0x80) {
        s += char(code);
    } else if (code < 0x800) {
        s += char(0xC0 | (code >> 6));
        s += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        s += char(0xE0 | (code >> 12));
        s += char(0x80 | ((code >> 6) & 0x3F));
        s += char(0x80 | (code & 0x3F));
    } else {
        s += char(0xF0 | (code >> 18));
        s += char(0x80 | ((code >> 12) & 0x3F));
        s += char(0x80 | ((code >> 6) & 0x3F));
        s += char(0x80 | (code & 0x3F));
    }
    return s;
}

TEST(Utf8, EveryScalarValueIsValidAndEverySurrogateIsNot) {
    for (uint32_t code = 0; code <= 0x10FFFF; ++code) {
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        std::string text = "x";
        text += encode(code);
        text += 'y';
        ASSERT_EQ(isValidUtf8(text), !surrogate) << std::hex << code;
    }
}

TEST(Utf8, RejectsMalformedSequences) {
    const char* bad[] = {
        "\x80",              // continuation byte first
        "\xC3",              // cut sequence
        "\xE2\x82",          // cut sequence
        "\xC0\xAF",          // overlong '/'
        "\xE0\x80\xAF",      // overlong '/'
        "\xF0\x80\x80\xAF",  // overlong '/'
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xF8\x88\x80\x80\x80",
        "\xFF",
        "\xC3\x28",          // second byte not a continuation
    };
    for (const char* text : bad) EXPECT_FALSE(isValidUtf8(text)) << text;
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace qv
