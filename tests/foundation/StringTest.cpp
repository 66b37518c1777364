#include <gtest/gtest.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<std::string> pieces(const MStringArray& a) {
    std::vector<std::string> out;
    for (unsigned i = 0; i < a.length(); ++i) out.push_back(a[i].asChar());
    return out;
}

}  // namespace

TEST(MStringNumbers, WholeValuesPrintAsIntegersOthersShortest) {
    const std::pair<double, const char*> cases[] = {
        {1.0, "1"},
        {0.0, "0"},
        {-0.0, "0"},
        {-3.0, "-3"},
        {12.0, "12"},
        {100000.0, "100000"},
        {0.1, "0.1"},
        {0.5, "0.5"},
        {1e-05, "1e-05"},
        {-2.25, "-2.25"},
        {1.0 / 3.0, "0.3333333333333333"},
        {123456789012.0, "123456789012"},
        {1e20, "1e+20"},
    };
    for (const auto& [value, text] : cases) {
        MString s;
        s += value;
        EXPECT_EQ(std::string(s.asChar()), text) << value;
        MString assigned;
        assigned = value;
        EXPECT_EQ(assigned, s);
    }
}

TEST(MStringNumbers, AppendForms) {
    int id = 12;
    unsigned int u = 7;
    // No int overload of operator+: an int goes through the double form and still prints as an integer.
    MString cmd = MString("kxMergeVerts -id ") + id + " -d " + 0.001;
    EXPECT_STREQ(cmd.asChar(), "kxMergeVerts -id 12 -d 0.001");
    MString s("n");
    s += u;
    s += -4;
    s += 0.1f;  // the float's own shortest text, not the double widening 0.100000001...
    EXPECT_STREQ(s.asChar(), "n7-40.1");
    EXPECT_STREQ(("a" + MString("b")).asChar(), "ab");
    MString p;
    EXPECT_TRUE(p.set(2.0 / 3.0, 3));
    EXPECT_STREQ(p.asChar(), "0.667");
}

TEST(MStringNumbers, FormattedTextReadsBackExactly) {
    const double values[] = {0.1,           1e-05,   -123.456, 3.141592653589793,       1e-300,
                             6.02214076e23, -0.0001, 2.5e-7,   std::nextafter(1.0, 2.0)};
    for (double v : values) {
        MString s;
        s = v;
        EXPECT_TRUE(s.isDouble()) << s.asChar();
        EXPECT_EQ(s.asDouble(), v) << s.asChar();
    }
}

TEST(MStringNumbers, Parsing) {
    EXPECT_TRUE(MString("12").isInt());
    EXPECT_TRUE(MString(" -12 ").isInt());
    EXPECT_TRUE(MString("+5").isInt());
    EXPECT_FALSE(MString("1.5").isInt());
    EXPECT_FALSE(MString("").isInt());
    EXPECT_FALSE(MString("12abc").isInt());
    EXPECT_FALSE(MString("2147483648").isInt());
    EXPECT_TRUE(MString("2147483648").isDouble());
    EXPECT_FALSE(MString("40000").isShort());
    EXPECT_FALSE(MString("-1").isUnsigned());
    EXPECT_TRUE(MString("4000000000").isUnsigned());
    EXPECT_EQ(MString("4000000000").asUnsigned(), 4000000000u);
    EXPECT_TRUE(MString(".5").isDouble());
    EXPECT_TRUE(MString("1e-05").isFloat());
    EXPECT_FALSE(MString("1e-05x").isDouble());
    EXPECT_FALSE(MString("nan").isDouble());
    EXPECT_FALSE(MString("-").isDouble());
    EXPECT_FALSE(MString("1e40").isFloat());
    // The as* readers take the leading number and give 0 when there is none.
    EXPECT_EQ(MString("42px").asInt(), 42);
    EXPECT_EQ(MString("abc").asInt(), 0);
    EXPECT_DOUBLE_EQ(MString(" -2.5e1 ").asDouble(), -25.0);
    EXPECT_EQ(MString("x").asDouble(), 0.0);
    EXPECT_FLOAT_EQ(MString("0.25").asFloat(), 0.25f);
}

TEST(MStringText, SplitDropsEmptyPieces) {
    MStringArray out;
    EXPECT_TRUE(MString("a|b|c").split('|', out));
    EXPECT_EQ(pieces(out), (std::vector<std::string>{"a", "b", "c"}));
    MString("|a||b|").split('|', out);
    EXPECT_EQ(pieces(out), (std::vector<std::string>{"a", "b"}));
    MString("|||").split('|', out);
    EXPECT_EQ(out.length(), 0u);
    MString("").split('|', out);
    EXPECT_EQ(out.length(), 0u);
    MString("whole").split('|', out);
    EXPECT_EQ(pieces(out), (std::vector<std::string>{"whole"}));
    // The output is replaced, not appended to.
    out.append("stale");
    MString("x y").split(' ', out);
    EXPECT_EQ(pieces(out), (std::vector<std::string>{"x", "y"}));
}

TEST(MStringText, SubstringEndIsInclusive) {
    MString s("pCube1.vtx[3]");
    EXPECT_STREQ(s.substring(0, 5).asChar(), "pCube1");
    EXPECT_STREQ(s.substring(7, 9).asChar(), "vtx");
    EXPECT_STREQ(s.substring(3, 3).asChar(), "b");
    EXPECT_STREQ(s.substring(7, 100).asChar(), "vtx[3]");
    EXPECT_STREQ(s.substring(-5, 1).asChar(), "pC");
    EXPECT_STREQ(s.substring(5, 4).asChar(), "");
    EXPECT_STREQ(MString().substring(0, 0).asChar(), "");
    int dot = s.index('.');
    EXPECT_EQ(dot, 6);
    EXPECT_STREQ(s.substring(dot + 1, s.length() - 1).asChar(), "vtx[3]");
}

TEST(MStringText, SearchCaseAndSubstitute) {
    MString s("|group1|pCube1|pCubeShape1");
    EXPECT_EQ(s.index('|'), 0);
    EXPECT_EQ(s.rindex('|'), 14);
    EXPECT_EQ(s.index('#'), -1);
    EXPECT_EQ(s.rindex('#'), -1);
    MString u("MixEd1");
    EXPECT_STREQ(u.toUpperCase().asChar(), "MIXED1");
    EXPECT_STREQ(u.toLowerCase().asChar(), "mixed1");
    MString t("aXbXXc");
    EXPECT_TRUE(t.substitute("X", "--"));
    EXPECT_STREQ(t.asChar(), "a--b----c");
    EXPECT_TRUE(t.substitute("--", ""));
    EXPECT_STREQ(t.asChar(), "abc");
    EXPECT_FALSE(t.substitute("", "z"));
}

TEST(MStringText, ConstructionComparisonAndWide) {
    MString a("hello", 3);
    EXPECT_STREQ(a.asChar(), "hel");
    EXPECT_EQ(a.length(), 3u);
    EXPECT_TRUE(a == "hel");
    EXPECT_TRUE(a != "hello");
    EXPECT_TRUE(MString(static_cast<const char*>(nullptr)) == "");
    MString w(L"caf\u00e9");
    EXPECT_EQ(w.length(), 5u);  // UTF-8 bytes
    EXPECT_EQ(std::wstring(w.asWChar()), std::wstring(L"caf\u00e9"));
    a.clear();
    EXPECT_EQ(a.length(), 0u);
}
