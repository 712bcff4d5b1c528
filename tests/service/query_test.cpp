#include "service/query.h"

#include <gtest/gtest.h>

namespace qrlogo::service {
namespace {

TEST(ParseQuery, DecodesFormEncoding) {
    struct Case {
        const char* name;
        std::string_view query;
        Query expected;
    };
    const Case cases[] = {
        {"the tool's leading empty item",
         "&bg=ffffff&text=a&w=200",
         {{"bg", "ffffff"}, {"text", "a"}, {"w", "200"}}},
        {"plus is a space, %2B a plus", "text=a+b%2Bc", {{"text", "a b+c"}}},
        {"escapes in either case", "text=%41%4a%4A%e4", {{"text", "AJJ\xe4"}}},
        {"escaped query syntax", "text=%26%3D%23%25", {{"text", "&=#%"}}},
        {"NUL byte", "text=a%00b", {{"text", std::string("a\0b", 3)}}},
        {"last occurrence wins", "w=100&text=x&w=300", {{"text", "x"}, {"w", "300"}}},
        {"empty names skipped", "=x&&=&a=1", {{"a", "1"}}},
        {"name alone has empty value", "flag&text=", {{"flag", ""}, {"text", ""}}},
        {"equals inside a value", "text=a=b", {{"text", "a=b"}}},
        {"escaped name", "t%65xt=v", {{"text", "v"}}},
        {"empty query", "", {}},
    };
    for (const Case& c : cases) {
        const Outcome<Query> parsed = ParseQuery(c.query);
        ASSERT_TRUE(std::holds_alternative<Query>(parsed)) << "case: " << c.name;
        EXPECT_EQ(std::get<Query>(parsed), c.expected) << "case: " << c.name;
    }
}

TEST(ParseQuery, NamesTheParameterOfAMalformedEscape) {
    struct Case {
        std::string_view query;
        std::string parameter;
    };
    const Case cases[] = {
        {"text=%", "text"},       {"w=1&text=%4", "text"}, {"text=%zz", "text"},
        {"text=%4g&w=1", "text"}, {"a%2=1", "a%2"},        {"bg=%0", "bg"},
    };
    for (const Case& c : cases) {
        const Outcome<Query> parsed = ParseQuery(c.query);
        const Failure* failure = std::get_if<Failure>(&parsed);
        ASSERT_NE(failure, nullptr) << "case: " << c.query;
        EXPECT_EQ(failure->error, ServiceError::MalformedQuery) << "case: " << c.query;
        EXPECT_EQ(failure->parameter, c.parameter) << "case: " << c.query;
    }
}

}  // namespace
}  // namespace qrlogo::service
