#include <gtest/gtest.h>

#include "mel/Value.h"

using kxh::mel::Value;
using Kind = Value::Kind;

TEST(MelValue, NumbersPrintWholeValuesAsIntegersOthersLosslessly) {
    EXPECT_EQ(Value::formatNumber(1.0), "1");
    EXPECT_EQ(Value::formatNumber(-12.0), "-12");
    EXPECT_EQ(Value::formatNumber(0.5), "0.5");
    EXPECT_EQ(Value::formatNumber(1e-05), "1e-05");
    EXPECT_EQ(Value::formatNumber(-0.0), "0");
    EXPECT_EQ(Value::formatNumber(0.1), "0.1");
    // Lossless: the text reads back to the same double.
    double third = 1.0 / 3.0;
    EXPECT_EQ(std::stod(Value::formatNumber(third)), third);
    EXPECT_EQ(Value(2.0).asString(), "2");
}

TEST(MelValue, StringsConvertByLeadingNumericText) {
    EXPECT_EQ(Value("3abc").asInt(), 3);
    EXPECT_EQ(Value("abc").asInt(), 0);
    EXPECT_DOUBLE_EQ(Value("2.5e1x").asFloat(), 25.0);
    EXPECT_EQ(Value("0x10").asInt(), 0);
    EXPECT_EQ(Value("inf").asFloat(), 0.0);
    EXPECT_TRUE(Value("on").asBool());
    EXPECT_TRUE(Value("YES").asBool());
    EXPECT_TRUE(Value("-1").asBool());
    EXPECT_FALSE(Value("false").asBool());
    EXPECT_FALSE(Value("").asBool());
}

TEST(MelValue, ParseNumberAcceptsMelSpellingsOnly) {
    double d;
    bool isInt = false;
    EXPECT_TRUE(Value::parseNumber("-1", d, &isInt));
    EXPECT_TRUE(isInt);
    EXPECT_EQ(d, -1);
    EXPECT_TRUE(Value::parseNumber(".5", d, &isInt));
    EXPECT_FALSE(isInt);
    EXPECT_TRUE(Value::parseNumber("1e-05", d, &isInt));
    EXPECT_FALSE(isInt);
    EXPECT_EQ(d, 1e-05);
    EXPECT_TRUE(Value::parseNumber("0.0", d));
    EXPECT_TRUE(Value::parseNumber("1.", d));
    for (const char* bad : {"", "-", ".", "1e", "1e+", "abc", "1x", "--1", "nan", "inf", "0x1f", "1 "})
        EXPECT_FALSE(Value::parseNumber(bad, d)) << bad;
    // Too large for an integer: read as a float.
    EXPECT_TRUE(Value::parseNumber("99999999999999999999", d, &isInt));
    EXPECT_FALSE(isInt);
}

TEST(MelValue, ArraysGrowWithZerosAndConvert) {
    Value a;
    a.setElement(2, Value(5));
    EXPECT_EQ(a.kind(), Kind::IntArray);
    EXPECT_EQ(a.toString(), "0 0 5");
    EXPECT_EQ(a.element(10).asInt(), 0);  // past the end reads as zero

    Value s = Value(std::vector<std::string>{"a"});
    s.append(Value(3));
    EXPECT_EQ(s.asStringArray(), (std::vector<std::string>{"a", "3"}));

    Value f = Value(std::vector<int>{1, 2}).convertedTo(Kind::FloatArray);
    EXPECT_EQ(f.kind(), Kind::FloatArray);
    EXPECT_EQ(f.size(), 2u);
    f.clearElements();
    EXPECT_EQ(f.size(), 0u);
    EXPECT_EQ(f.kind(), Kind::FloatArray);

    // A scalar turned into an array keeps itself as element 0.
    Value x(7.5);
    x.setElement(1, Value(1));
    EXPECT_EQ(x.kind(), Kind::FloatArray);
    EXPECT_EQ(x.toString(), "7.5 1");
}

TEST(MelValue, VectorsPrintAndConvert) {
    Value v(Value::Vec{1, 2.5, -3});
    EXPECT_EQ(v.toString(), "<<1, 2.5, -3>>");
    EXPECT_EQ(v.asString(), "1 2.5 -3");
    EXPECT_EQ(Value("1 2 3").asVector(), (Value::Vec{1, 2, 3}));
    EXPECT_EQ(Value(2).asVector(), (Value::Vec{2, 2, 2}));
    EXPECT_EQ(Value::kindName(Kind::VectorArray), "vector[]");
}
