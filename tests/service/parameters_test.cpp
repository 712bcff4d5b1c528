#include "service/parameters.h"

#include <gtest/gtest.h>

#include "service/charset.h"

namespace qrlogo::service {
namespace {

Outcome<RenderParameters> Read(std::string_view query) {
    const Outcome<Query> parsed = ParseQuery(query);
    return ReadRenderParameters(std::get<Query>(parsed));
}

TEST(ReadRenderParameters, DefaultsWhenNothingIsGiven) {
    const Outcome<RenderParameters> read = Read("");
    const auto* parameters = std::get_if<RenderParameters>(&read);
    ASSERT_NE(parameters, nullptr);
    EXPECT_EQ(parameters->data, "");
    EXPECT_EQ(parameters->background, (Rgb{0xff, 0xff, 0xff}));
    EXPECT_EQ(parameters->foreground, (Rgb{0, 0, 0}));
    EXPECT_EQ(parameters->width, 200);
    EXPECT_FALSE(parameters->level.has_value());
    EXPECT_EQ(parameters->margin, 2);
    EXPECT_FALSE(parameters->eci);
}

TEST(ReadRenderParameters, ReadsEveryParameter) {
    const Outcome<RenderParameters> read =
        Read("bg=FfEe01&fg=cc0000&w=2000&el=q&m=0&eci=1&charset=UTF-8&text=%C3%A9&unknown=1");
    const auto* parameters = std::get_if<RenderParameters>(&read);
    ASSERT_NE(parameters, nullptr);
    EXPECT_EQ(parameters->data, "\xc3\xa9");
    EXPECT_EQ(parameters->background, (Rgb{0xff, 0xee, 0x01}));
    EXPECT_EQ(parameters->foreground, (Rgb{0xcc, 0, 0}));
    EXPECT_EQ(parameters->width, 2000);
    EXPECT_EQ(parameters->level, EcLevel::Q);
    EXPECT_EQ(parameters->margin, 0);
    EXPECT_TRUE(parameters->eci);
}

TEST(ReadRenderParameters, ConvertsTheTextByCharset) {
    struct Case {
        const char* name;
        std::string_view query;
        std::string_view data;
    };
    const Case cases[] = {
        {"GB18030 two-byte characters", "text=%B6%FE%CE%AC%C2%EB",
         "\xe4\xba\x8c\xe7\xbb\xb4\xe7\xa0\x81"},
        {"GB18030 four-byte character", "text=%949%FC6", "\xf0\x9f\x98\x80"},
        {"GB18030 named", "charset=gb18030&text=a%A2%E3", "a\xe2\x82\xac"},
        // Two bytes that become four of UTF-8 (U+20087), several in a row.
        {"two-byte codes of the supplementary plane", "text=%FE%51%FE%51%FE%51%FE%51%FE%51",
         "\xf0\xa0\x82\x87\xf0\xa0\x82\x87\xf0\xa0\x82\x87\xf0\xa0\x82\x87\xf0\xa0\x82\x87"},
        {"ASCII unchanged", "text=Hello+1", "Hello 1"},
        {"UTF-8 kept", "charset=utf8&text=%E4%BA%8C", "\xe4\xba\x8c"},
        {"raw kept, even invalid", "charset=raw&text=%FF%B6", "\xff\xb6"},
    };
    for (const Case& c : cases) {
        const Outcome<RenderParameters> read = Read(c.query);
        const auto* parameters = std::get_if<RenderParameters>(&read);
        ASSERT_NE(parameters, nullptr) << "case: " << c.name;
        EXPECT_EQ(parameters->data, c.data) << "case: " << c.name;
    }
}

TEST(ReadRenderParameters, RefusesBadValuesNamingTheParameter) {
    struct Case {
        std::string_view query;
        ServiceError error;
        std::string parameter;
    };
    const Case cases[] = {
        {"w=20", ServiceError::BadParameter, "w"},
        {"w=2001", ServiceError::BadParameter, "w"},
        {"w=abc", ServiceError::BadParameter, "w"},
        {"w=+200", ServiceError::BadParameter, "w"},
        {"w=-200", ServiceError::BadParameter, "w"},
        {"w=200px", ServiceError::BadParameter, "w"},
        {"w=", ServiceError::BadParameter, "w"},
        {"w=99999999999999999999", ServiceError::BadParameter, "w"},
        {"bg=fffff", ServiceError::BadParameter, "bg"},
        {"bg=fffffff", ServiceError::BadParameter, "bg"},
        {"bg=gggggg", ServiceError::BadParameter, "bg"},
        {"bg=%23ffffff", ServiceError::BadParameter, "bg"},
        {"fg=+fffff", ServiceError::BadParameter, "fg"},
        {"el=X", ServiceError::BadParameter, "el"},
        {"el=HH", ServiceError::BadParameter, "el"},
        {"m=11", ServiceError::BadParameter, "m"},
        {"m=-1", ServiceError::BadParameter, "m"},
        {"eci=2", ServiceError::BadParameter, "eci"},
        {"charset=latin1", ServiceError::BadParameter, "charset"},
        {"text=%FF", ServiceError::TextNotInCharset, "text"},
        {"text=%B6", ServiceError::TextNotInCharset, "text"},
        {"charset=utf-8&text=%C3%28", ServiceError::TextNotInCharset, "text"},
        {"charset=utf-8&text=%C0%AF", ServiceError::TextNotInCharset, "text"},
        {"charset=utf-8&text=%ED%A0%80", ServiceError::TextNotInCharset, "text"},
        {"charset=utf-8&text=%F4%90%80%80", ServiceError::TextNotInCharset, "text"},
        {"charset=utf-8&text=%E4%BA", ServiceError::TextNotInCharset, "text"},
    };
    for (const Case& c : cases) {
        const Outcome<RenderParameters> read = Read(c.query);
        const auto* failure = std::get_if<Failure>(&read);
        ASSERT_NE(failure, nullptr) << "case: " << c.query;
        EXPECT_EQ(failure->error, c.error) << "case: " << c.query;
        EXPECT_EQ(failure->parameter, c.parameter) << "case: " << c.query;
    }
}

TEST(ReadRenderParameters, RefusesTextLongerThanAnyCodeHolds) {
    const Outcome<RenderParameters> read =
        Read("charset=raw&text=" + std::string(kMaxTextBytes + 1, '7'));
    const auto* failure = std::get_if<Failure>(&read);
    ASSERT_NE(failure, nullptr);
    EXPECT_EQ(failure->error, ServiceError::TextTooLong);
}

}  // namespace
}  // namespace qrlogo::service
