#include <gtest/gtest.h>

#include "mel/Command.h"

using namespace kxh::mel;

namespace {

// Words as the interpreter produces them: "-x" unquoted is a flag, numbers arrive as numbers.
Arg flag(const std::string& n) {
    return Arg{Value("-" + n), true};
}
Arg word(const Value& v) {
    return Arg{v, false};
}

Syntax facetSyntax() {
    Syntax s;
    s.flag("p", "point", {ArgType::Float, ArgType::Float, ArgType::Float}, true)
        .flag("v", "vertex", {ArgType::Int}, true)
        .flag("ch", "constructionHistory", {ArgType::Bool})
        .flag("n", "name", {ArgType::String});
    return s;
}

}  // namespace

TEST(MelArgs, NegativeFractionalAndExponentValues) {
    Syntax s = facetSyntax();
    ParsedArgs pa;
    std::string err;
    ASSERT_TRUE(
        parseArgs("f", s, {flag("p"), word(Value(-1)), word(Value(.1)), word(Value("1e-05"))}, pa, err))
        << err;
    ASSERT_EQ(pa.flags.size(), 1u);
    EXPECT_EQ(pa.flags[0].args[0].asFloat(), -1.0);
    EXPECT_EQ(pa.flags[0].args[1].asFloat(), 0.1);
    EXPECT_EQ(pa.flags[0].args[2].asFloat(), 1e-05);
    EXPECT_EQ(pa.flags[0].args[2].kind(), Value::Kind::Float);
}

TEST(MelArgs, RepeatedFlagsKeepCommandLineOrderAndPositions) {
    Syntax s = facetSyntax();
    ParsedArgs pa;
    std::string err;
    std::vector<Arg> w{flag("p"),      word(Value(0)), word(Value(0)),        word(Value(0)),
                       flag("v"),      word(Value(5)), flag("point"),         word(Value(1)),
                       word(Value(0)), word(Value(0)), word(Value("pPlane1"))};
    ASSERT_TRUE(parseArgs("f", s, w, pa, err)) << err;
    ASSERT_EQ(pa.flags.size(), 3u);
    EXPECT_EQ(pa.flags[0].def->shortName, "p");
    EXPECT_EQ(pa.flags[1].def->shortName, "v");
    EXPECT_EQ(pa.flags[2].def->shortName, "p");
    EXPECT_EQ(pa.flags[0].position, 0);
    EXPECT_EQ(pa.flags[1].position, 4);
    EXPECT_EQ(pa.flags[2].position, 6);
    EXPECT_EQ(pa.count("point"), 2);
    EXPECT_EQ(pa.get("p", 1)->args[0].asFloat(), 1.0);
    EXPECT_EQ(pa.get("p", 2), nullptr);
    ASSERT_EQ(pa.objects.size(), 1u);
    EXPECT_EQ(pa.objects[0].asString(), "pPlane1");
}

TEST(MelArgs, SingleUseFlagRepeatedLastWins) {
    Syntax s = facetSyntax();
    ParsedArgs pa;
    std::string err;
    ASSERT_TRUE(parseArgs("f", s, {flag("n"), word(Value("a")), flag("name"), word(Value("b"))}, pa, err));
    EXPECT_EQ(pa.count("n"), 2);
    EXPECT_EQ(pa.arg("n").asString(), "b");
    EXPECT_EQ(pa.arg("missing", Value(42)).asInt(), 42);
}

TEST(MelArgs, BooleanSpellings) {
    Syntax s = facetSyntax();
    struct Case {
        Value v;
        bool expect;
    } cases[] = {{Value("true"), true}, {Value("off"), false}, {Value("Yes"), true}, {Value("no"), false},
                 {Value(1), true},      {Value(0), false},     {Value(-1), true},    {Value(0.5), true},
                 {Value("0"), false},   {Value("1"), true}};
    for (const auto& c : cases) {
        ParsedArgs pa;
        std::string err;
        ASSERT_TRUE(parseArgs("f", s, {flag("ch"), word(c.v)}, pa, err)) << c.v.asString() << " " << err;
        EXPECT_EQ(pa.arg("ch").asBool(), c.expect) << c.v.asString();
    }
    ParsedArgs pa;
    std::string err;
    EXPECT_FALSE(parseArgs("f", s, {flag("ch"), word(Value("maybe"))}, pa, err));
    EXPECT_EQ(err, "Flag '-ch' must be passed a boolean argument.");
}

TEST(MelArgs, ErrorsInHostWords) {
    Syntax s = facetSyntax();
    s.maxObjects = 1;
    s.minObjects = 0;
    ParsedArgs pa;
    std::string err;
    EXPECT_FALSE(parseArgs("f", s, {flag("xyz")}, pa, err));
    EXPECT_EQ(err, "Invalid flag: -xyz");
    EXPECT_FALSE(parseArgs("f", s, {flag("p"), word(Value(1)), word(Value("abc")), word(Value(1))}, pa, err));
    EXPECT_EQ(err, "Flag '-p' must be passed a float argument.");
    EXPECT_FALSE(parseArgs("f", s, {flag("v")}, pa, err));  // missing argument at the end
    EXPECT_EQ(err, "Flag '-v' must be passed an int argument.");
    EXPECT_FALSE(parseArgs("f", s, {flag("v"), flag("ch")}, pa, err));  // a flag is not a value
    EXPECT_FALSE(parseArgs("f", s, {word(Value("a")), word(Value("b"))}, pa, err));
    EXPECT_EQ(err, "Too many objects or values.");
    s.minObjects = 1;
    EXPECT_FALSE(parseArgs("f", s, {}, pa, err));
    EXPECT_EQ(err, "Not enough objects or values.");
    // Query and edit are flags only where the syntax allows them.
    EXPECT_FALSE(parseArgs("f", s, {flag("q"), word(Value("a"))}, pa, err));
    EXPECT_EQ(err, "Invalid flag: -q");
}

TEST(MelArgs, QueryModeFlagsTakeNoArgumentsUnlessAsked) {
    Syntax s;
    s.queryable = s.editable = true;
    s.flag("v", "value", {ArgType::Bool}).flag("ocm", "objectComponent");
    s.flags.push_back(FlagDef{"pu", "pivotU", {ArgType::Float}, false, true});
    ParsedArgs pa;
    std::string err;
    // The mode applies to the whole line wherever -q stands.
    ASSERT_TRUE(parseArgs("selectType", s, {flag("ocm"), flag("q"), flag("v"), word(Value("ctl"))}, pa, err));
    EXPECT_TRUE(pa.query);
    EXPECT_TRUE(pa.has("v"));
    EXPECT_TRUE(pa.get("v")->args.empty());
    ASSERT_EQ(pa.objects.size(), 1u);
    EXPECT_EQ(pa.objects[0].asString(), "ctl");

    ASSERT_TRUE(parseArgs("x", s, {flag("query"), flag("pu"), word(Value(0.5))}, pa, err)) << err;
    EXPECT_EQ(pa.arg("pu").asFloat(), 0.5);

    ASSERT_TRUE(parseArgs("checkBox", s, {flag("e"), flag("v"), word(Value(0)), word(Value("cb"))}, pa, err));
    EXPECT_TRUE(pa.edit);
    EXPECT_FALSE(pa.query);
    EXPECT_FALSE(pa.arg("v").asBool());
}

TEST(MelArgs, ArgFlagNameAndRegistry) {
    EXPECT_EQ(flag("ch").flagName(), "ch");
    EXPECT_EQ(word(Value("-ch")).flagName(), "");  // a quoted "-ch" is a value
    CommandRegistry reg;
    CommandDef d;
    d.name = "polyThing";
    d.handler = [](Invocation&) { return true; };
    EXPECT_TRUE(reg.add(d));
    EXPECT_FALSE(reg.add(d));
    EXPECT_NE(reg.find("polyThing"), nullptr);
    EXPECT_TRUE(reg.remove("polyThing"));
    EXPECT_EQ(reg.find("polyThing"), nullptr);
}
