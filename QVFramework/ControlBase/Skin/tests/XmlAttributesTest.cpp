#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "XmlAttributes.h"

namespace {

using namespace QV;

TEST(XmlAttributesTest, ValueConversions)
{
    struct Row {
        const char16_t* text;
        int32_t asInt;
        int32_t asDecimal;
        double asDouble;
    };
    const Row rows[] = {
        {u"0x7c04", 31748, 0, 31748.0},
        {u"0xFFFFFFFF", 0xFFFF, 0, 4294967295.0},  // at most four hex digits
        {u"0x1g", 1, 0, 1.0},
        {u"0x", 0, 0, 0.0},
        {u"0X10", 0, 0, 16.0},  // only a lower-case x is hex for integers
        {u"12abc", 12, 12, 12.0},
        {u"  -7", -7, -7, -7.0},
        {u"0.5", 0, 0, 0.5},
        {u"2.75e1x", 2, 2, 27.5},
        {u"abc", 0, 0, 0.0},
        {u"", 0, 0, 0.0},
        {u"99999999999", 2147483647, 2147483647, 99999999999.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(QV::SkinTest::Narrow(String(row.text)));
        EXPECT_EQ(ParseIntValue(String(row.text)), row.asInt);
        EXPECT_EQ(ParseDecimalIntValue(String(row.text)), row.asDecimal);
        EXPECT_DOUBLE_EQ(ParseDoubleValue(String(row.text)), row.asDouble);
    }
}

TEST(XmlAttributesTest, LookupIsExactAndBooleansAreTrueOnlyForTrue)
{
    XmlAttributes a;
    a.Set(String(u"Flag"), String(u"True"));
    a.Set(String(u"Lower"), String(u"true"));
    a.Set(String(u"Padded"), String(u" True"));
    EXPECT_EQ(a.GetBool(u"Flag"), true);
    EXPECT_EQ(a.GetBool(u"Lower"), false);
    EXPECT_EQ(a.GetBool(u"Padded"), false);
    EXPECT_FALSE(a.GetBool(u"flag").has_value());
    EXPECT_FALSE(a.GetInt(u"Missing").has_value());
    // A name set again keeps the later value.
    a.Set(String(u"Flag"), String(u"False"));
    EXPECT_EQ(a.GetBool(u"Flag"), false);
    EXPECT_TRUE(a.Has(u"Flag"));
    EXPECT_FALSE(a.Has(u"Fla"));
    // Names outside ASCII, set either way, are found exactly.
    a.Set(String(u"Gr\u00F6\u00DFe"), String(u"1"));
    a.Set(std::string_view("\xE2\x82\xAC"), String(u"2"));
    EXPECT_EQ(a.GetInt(u"Gr\u00F6\u00DFe"), 1);
    EXPECT_EQ(a.GetInt(u"\u20AC"), 2);
    EXPECT_FALSE(a.Has(u"Gr\u00F6"));
    EXPECT_FALSE(a.Has(u"Gr"));
}

}  // namespace
