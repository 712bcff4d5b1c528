#include "app/text.h"

#include <gtest/gtest.h>

#include <optional>

namespace qrlogo {
namespace {

// A text that may be absent, for the tables below.
std::optional<std::string_view> kAbsent;

Text Make(std::optional<std::string_view> bytes) { return bytes ? Text::FromBytes(*bytes) : Text(); }

TEST(TextCompare, ComparesBytesUnsignedWithAbsentAsEmpty) {
    struct Case {
        const char* name;
        std::optional<std::string_view> a, b;
        int expected;
    } cases[] = {
        {"absent vs empty", kAbsent, "", 0},
        {"empty vs absent", "", kAbsent, 0},
        {"absent vs absent", kAbsent, kAbsent, 0},
        {"a vs absent", "a", kAbsent, +1},
        {"absent vs a", kAbsent, "a", -1},
        {"0xB0 sorts after z", "\xB0", "z", +1},
        {"z before 0xB0", "z", "\xB0\xA1", -1},
        {"prefix is smaller", "ab", "abc", -1},
        {"equal", "abc", "abc", 0},
        {"no case folding", "B", "a", -1},
        {"double-byte by its bytes", "\xB0\xA1", "\xB0\xA2", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextCompare(Make(c.a), Make(c.b)), c.expected) << "case: " << c.name;
    }
}

TEST(TextOperations, LengthConcatAndByteSetToText) {
    EXPECT_EQ(TextLength(Text()), 0u);
    EXPECT_EQ(TextLength(Text::FromBytes("\xB6\xFE" "ab")), 4u);

    // Concatenation is never absent, even of absent texts.
    const Text empty = TextConcat(Text(), Text());
    EXPECT_FALSE(empty.IsAbsent());
    EXPECT_EQ(empty.View(), "");
    EXPECT_EQ(TextConcat(Text::FromBytes("http://"), Text(), Text::FromBytes("&w=200")).View(),
              "http://&w=200");

    struct Case {
        const char* name;
        std::string_view bytes;
        bool absentSet;
        std::optional<std::string_view> expected;
    } cases[] = {
        {"stops at the first zero byte", std::string_view("A\0B", 3), false, "A"},
        {"starts with a zero byte", std::string_view("\0A", 2), false, kAbsent},
        {"empty byte set", "", false, kAbsent},
        {"absent byte set", "", true, kAbsent},
        {"no zero byte: all bytes", "\xB6\xFE" " BY", false, "\xB6\xFE BY"},
    };
    for (const auto& c : cases) {
        const ByteSet set = c.absentSet ? ByteSet() : ByteSet::FromBytes(c.bytes);
        const Text text = ByteSetToText(set);
        EXPECT_EQ(text.IsAbsent(), !c.expected.has_value()) << "case: " << c.name;
        if (c.expected) {
            EXPECT_EQ(text.View(), *c.expected) << "case: " << c.name;
        }
    }
}

}  // namespace
}  // namespace qrlogo
