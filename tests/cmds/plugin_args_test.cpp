// Command-line parsing for plug-in commands: MSyntax declarations, MArgList reads, and MArgDatabase over
// typed flags, multi-use flags and their positions, query/edit mode, command arguments and objects.
#include <gtest/gtest.h>
#include <maya/MArgDatabase.h>
#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MPoint.h>
#include <maya/MPxCommand.h>
#include <maya/MStringArray.h>
#include <maya/MSyntax.h>
#include <maya/MVector.h>

#include <string>
#include <vector>

#include "cmds/plugin/CommandApi.h"
#include "foundation/Output.h"

namespace {

using kxh::OutputKind;
using kxh::mel::Arg;
using kxh::mel::Value;

// The words as the interpreter hands them over: typed values, flags marked.
MArgList words(std::vector<Value> values) {
    std::vector<Arg> args;
    for (auto& v : values) {
        Arg a;
        a.isFlag = v.kind() == Value::Kind::String && kxh::looksLikeFlag(v.asString());
        a.value = std::move(v);
        args.push_back(std::move(a));
    }
    return kxh::CommandApi::fromWords(args);
}

class ArgParsingTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::output().clear();
        syntax.addFlag("a", "amount", MSyntax::kLong);
        syntax.addFlag("-d", "-distance", MSyntax::kDouble);
        syntax.addFlag("b", "bool", MSyntax::kBoolean);
        syntax.addFlag("n", "name", MSyntax::kString);
        syntax.addFlag("u", "count", MSyntax::kUnsigned);
        syntax.addFlag("p", "position", MSyntax::kDouble, MSyntax::kDouble, MSyntax::kDouble);
        syntax.makeFlagMultiUse("p");
        syntax.addFlag("v", "vertex", MSyntax::kLong);
        syntax.makeFlagMultiUse("-vertex");
    }
    bool parses(std::vector<Value> line) {
        MStatus st;
        db = MArgDatabase(syntax, words(std::move(line)), &st);
        return bool(st);
    }
    static bool errorSaid(const std::string& text) { return kxh::output().contains(OutputKind::Error, text); }

    MSyntax syntax;
    MArgDatabase db;
};

TEST_F(ArgParsingTest, DeclaringFlags) {
    MSyntax s;
    EXPECT_TRUE(s.addFlag("-x", "-extent", MSyntax::kDouble));
    EXPECT_EQ(s.addFlag("x", "other").statusCode(), MStatus::kFailure);   // short name taken
    EXPECT_EQ(s.addFlag("y", "extent").statusCode(), MStatus::kFailure);  // long name taken
    EXPECT_EQ(s.addFlag("", "empty").statusCode(), MStatus::kInvalidParameter);
    EXPECT_FALSE(s.makeFlagMultiUse("nosuch"));
    EXPECT_TRUE(s.setObjectType(MSyntax::kStringObjects, 1, 2));
    EXPECT_EQ(s.minObjects(), 1u);
    EXPECT_EQ(s.maxObjects(), 2u);
    EXPECT_FALSE(s.setObjectType(MSyntax::kStringObjects, 3, 2));
    // Copies are independent.
    MSyntax copy = s;
    copy.addFlag("z", "zed");
    EXPECT_TRUE(s.addFlag("z", "zed"));
}

TEST_F(ArgParsingTest, TypedFlagArgumentsByShortOrLongName) {
    ASSERT_TRUE(parses({"-amount", 3, "-d", 0.5, "-n", "pCube1", "-b", "off", "-u", 7}));
    int a = 0;
    double d = 0;
    MString n;
    bool b = true;
    unsigned u = 0;
    EXPECT_TRUE(db.getFlagArgument("a", 0, a));
    EXPECT_TRUE(db.getFlagArgument("-distance", 0, d));
    EXPECT_TRUE(db.getFlagArgument("name", 0, n));
    EXPECT_TRUE(db.getFlagArgument("b", 0, b));
    EXPECT_TRUE(db.getFlagArgument("u", 0, u));
    EXPECT_EQ(a, 3);
    EXPECT_DOUBLE_EQ(d, 0.5);
    EXPECT_EQ(n, "pCube1");
    EXPECT_FALSE(b);
    EXPECT_EQ(u, 7u);
    EXPECT_TRUE(db.isFlagSet("amount"));
    EXPECT_TRUE(db.isFlagSet("-a"));
    EXPECT_FALSE(db.isFlagSet("p"));
    EXPECT_EQ(db.numberOfFlagsUsed(), 5u);

    // Reads that cannot be served fail and leave the output alone.
    a = 11;
    EXPECT_FALSE(db.getFlagArgument("a", 1, a));                                        // no second argument
    EXPECT_FALSE(db.getFlagArgument("p", 0, a));                                        // flag not given
    EXPECT_EQ(db.getFlagArgument("n", 0, a).statusCode(), MStatus::kInvalidParameter);  // "pCube1" is no int
    EXPECT_EQ(a, 11);
    // Numbers read as strings, booleans as numbers.
    EXPECT_TRUE(db.getFlagArgument("a", 0, n));
    EXPECT_EQ(n, "3");
    EXPECT_TRUE(db.getFlagArgument("b", 0, a));
    EXPECT_EQ(a, 0);
}

TEST_F(ArgParsingTest, BooleanArgumentsAcceptTheMelSpellings) {
    struct Case {
        Value word;
        bool expected;
    };
    for (const Case& c : {Case{1, true}, Case{0, false}, Case{-1, true}, Case{"on", true}, Case{"true", true},
                          Case{"yes", true}, Case{"off", false}, Case{"false", false}, Case{"0", false}}) {
        ASSERT_TRUE(parses({"-b", c.word})) << c.word.asString();
        bool b = !c.expected;
        EXPECT_TRUE(db.getFlagArgument("b", 0, b));
        EXPECT_EQ(b, c.expected) << c.word.asString();
    }
    EXPECT_FALSE(parses({"-b", "maybe"}));
    EXPECT_TRUE(errorSaid("Flag '-b' must be passed a boolean argument."));
}

TEST_F(ArgParsingTest, BadLinesFailWithTheHostMessages) {
    EXPECT_FALSE(parses({"-zz"}));
    EXPECT_TRUE(errorSaid("Invalid flag: -zz"));
    EXPECT_FALSE(parses({"-d", "abc"}));
    EXPECT_TRUE(errorSaid("Flag '-d' must be passed a float argument."));
    EXPECT_FALSE(parses({"-a"}));  // argument missing at the end of the line
    EXPECT_TRUE(errorSaid("Flag '-a' must be passed an int argument."));
    EXPECT_FALSE(parses({"-p", 1, 2, "-a", 3}));  // a flag where an argument should be
    EXPECT_FALSE(parses({"-u", -2}));             // unsigned
    EXPECT_FALSE(parses({"-q", "-a", 1}));        // no query mode declared
    // Every read on a failed parse fails.
    EXPECT_FALSE(db.isFlagSet("a"));
    MStringArray objects;
    EXPECT_FALSE(db.getObjects(objects));
}

TEST_F(ArgParsingTest, MultiUseFlagsKeepEveryUseAndItsPosition) {
    // polyAppendVertex style: point, vertex, point, in this order, then an object.
    ASSERT_TRUE(parses({"-p", 0, 0, 1, "-v", 5, "-position", 1.5, 0, 0, "pPlane1"}));
    EXPECT_EQ(db.numberOfFlagUses("p"), 2u);
    EXPECT_EQ(db.numberOfFlagUses("vertex"), 1u);
    unsigned p0 = 0, p1 = 0, v0 = 0;
    ASSERT_TRUE(db.getFlagArgumentPosition("p", 0, p0));
    ASSERT_TRUE(db.getFlagArgumentPosition("p", 1, p1));
    ASSERT_TRUE(db.getFlagArgumentPosition("v", 0, v0));
    EXPECT_EQ(p0, 0u);
    EXPECT_EQ(v0, 4u);
    EXPECT_EQ(p1, 6u);
    EXPECT_FALSE(db.getFlagArgumentPosition("p", 2, p0));

    MArgList second;
    ASSERT_TRUE(db.getFlagArgumentList("p", 1, second));
    ASSERT_EQ(second.length(), 3u);
    unsigned i = 0;
    MPoint pt = second.asPoint(i);
    EXPECT_EQ(i, 3u);
    EXPECT_DOUBLE_EQ(pt.x, 1.5);
    EXPECT_DOUBLE_EQ(pt.z, 0);
    // getFlagArgument reads the first use.
    double x = 0;
    ASSERT_TRUE(db.getFlagArgument("p", 2, x));
    EXPECT_DOUBLE_EQ(x, 1);

    MStringArray objects;
    ASSERT_TRUE(db.getObjects(objects));
    ASSERT_EQ(objects.length(), 1u);
    EXPECT_EQ(objects[0], "pPlane1");

    // A single-use flag given twice: the last use wins.
    ASSERT_TRUE(parses({"-a", 1, "-a", 2}));
    int a = 0;
    EXPECT_EQ(db.numberOfFlagUses("a"), 1u);
    ASSERT_TRUE(db.getFlagArgument("a", 0, a));
    EXPECT_EQ(a, 2);
}

TEST_F(ArgParsingTest, QueryAndEditModes) {
    syntax.enableQuery(true);
    syntax.enableEdit(true);
    syntax.addFlag("r", "range", MSyntax::kLong, MSyntax::kLong);
    syntax.makeFlagQueryWithFullArgs("r", false);
    syntax.addFlag("o", "option", MSyntax::kString);
    syntax.makeFlagQueryWithFullArgs("o", true);

    // In query mode flags take no arguments: the word after -a is an object.
    ASSERT_TRUE(parses({"-q", "-a", "ctx1"}));
    EXPECT_TRUE(db.isQuery());
    EXPECT_FALSE(db.isEdit());
    EXPECT_TRUE(db.isFlagSet("a"));
    int a = 0;
    EXPECT_FALSE(db.getFlagArgument("a", 0, a));
    MStringArray objects;
    db.getObjects(objects);
    ASSERT_EQ(objects.length(), 1u);
    EXPECT_EQ(objects[0], "ctx1");

    // The mode counts wherever it stands; flags made to query with arguments still take them.
    ASSERT_TRUE(parses({"-r", 2, 4, "-query", "ctx1"}));
    EXPECT_TRUE(db.isQuery());
    int hi = 0;
    ASSERT_TRUE(db.getFlagArgument("r", 1, hi));
    EXPECT_EQ(hi, 4);
    // Optional query arguments may be left out.
    ASSERT_TRUE(parses({"-q", "-o"}));
    EXPECT_TRUE(db.isFlagSet("o"));
    ASSERT_TRUE(parses({"-q", "-o", "x"}));
    MString o;
    ASSERT_TRUE(db.getFlagArgument("o", 0, o));
    EXPECT_EQ(o, "x");

    ASSERT_TRUE(parses({"-e", "-a", 9, "ctx1"}));
    EXPECT_TRUE(db.isEdit());
    ASSERT_TRUE(db.getFlagArgument("a", 0, a));
    EXPECT_EQ(a, 9);
}

TEST_F(ArgParsingTest, CommandArgumentsAndObjectCounts) {
    MSyntax s;
    s.addFlag("f", "force");
    s.addArg(MSyntax::kLong);
    s.addArg(MSyntax::kString);
    s.setObjectType(MSyntax::kStringObjects, 1, 2);
    MStatus st;
    MArgDatabase ok(s, words({"-f", 3, "mode", "a", "b"}), &st);
    ASSERT_TRUE(st);
    int n = 0;
    MString mode;
    ASSERT_TRUE(ok.getCommandArgument(0, n));
    ASSERT_TRUE(ok.getCommandArgument(1, mode));
    EXPECT_FALSE(ok.getCommandArgument(2, mode));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(mode, "mode");
    MStringArray objects;
    ok.getObjects(objects);
    EXPECT_EQ(objects.length(), 2u);

    MArgDatabase badArg(s, words({"x", "mode", "a"}), &st);
    EXPECT_FALSE(st);
    MArgDatabase tooFew(s, words({3, "mode"}), &st);
    EXPECT_FALSE(st);
    EXPECT_TRUE(errorSaid("Not enough objects or values."));
    MArgDatabase tooMany(s, words({3, "mode", "a", "b", "c"}), &st);
    EXPECT_FALSE(st);
    EXPECT_TRUE(errorSaid("Too many objects or values."));

    // kNone takes no objects at all.
    MSyntax none;
    none.setObjectType(MSyntax::kNone);
    MArgDatabase withObject(none, words({"a"}), &st);
    EXPECT_FALSE(st);
}

TEST(ArgListTest, ReadsAndBuildsWords) {
    MArgList list = words({"-p", 1, "2.5", "abc", "on", Value(std::vector<int>{4, 5})});
    EXPECT_EQ(list.length(), 6u);
    MStatus st;
    EXPECT_EQ(list.asInt(1, &st), 1);
    EXPECT_TRUE(st);
    EXPECT_DOUBLE_EQ(list.asDouble(2, &st), 2.5);  // numeric strings read as numbers
    EXPECT_EQ(list.asInt(3, &st), 0);
    EXPECT_FALSE(st);
    EXPECT_TRUE(list.asBool(4, &st));
    EXPECT_EQ(list.asString(0), "-p");
    list.asString(6, &st);
    EXPECT_FALSE(st);
    unsigned i = 5;
    MIntArray ints = list.asIntArray(i);
    EXPECT_EQ(i, 6u);
    ASSERT_EQ(ints.length(), 2u);
    EXPECT_EQ(ints[1], 5);
    i = 1;
    MVector v = list.asVector(i, 2, &st);  // two numbers: 1 and "2.5"
    EXPECT_TRUE(st);
    EXPECT_EQ(i, 3u);
    EXPECT_DOUBLE_EQ(v.y, 2.5);

    // flagIndex knows flags by either name, with or without dash; quoted-looking values are not flags.
    EXPECT_EQ(list.flagIndex("p"), 0u);
    EXPECT_EQ(list.flagIndex("x", "-p"), 0u);
    EXPECT_EQ(list.flagIndex("abc"), MArgList::kInvalidArgIndex);

    // A list built by a plug-in parses like a typed command line.
    MArgList built;
    built.addArg(MString("-mr"))
        .addArg(true)
        .addArg(MString("-id"))
        .addArg(12)
        .addArg(MString("-n"))
        .addArg(MString("-notAFlagValue"));
    MSyntax s;
    s.addFlag("mr", "mirror", MSyntax::kBoolean);
    s.addFlag("id", "componentId", MSyntax::kLong);
    s.addFlag("n", "name", MSyntax::kString);
    MArgDatabase db(s, built, &st);
    EXPECT_FALSE(st);  // "-notAFlagValue" looks like a flag, as in the host
    built = MArgList();
    built.addArg(MString("-mr")).addArg(true).addArg(MString("-id")).addArg(12);
    MArgDatabase db2(s, built, &st);
    ASSERT_TRUE(st);
    bool mirror = false;
    int id = 0;
    EXPECT_TRUE(db2.getFlagArgument("mirror", 0, mirror));
    EXPECT_TRUE(db2.getFlagArgument("id", 0, id));
    EXPECT_TRUE(mirror);
    EXPECT_EQ(id, 12);
}

TEST(CommandResultTest, SetAndAppendBuildTheMelValue) {
    kxh::ResultScope scope;
    MPxCommand::setResult(3);
    EXPECT_EQ(MPxCommand::currentResultType(), MPxCommand::kLong);
    EXPECT_EQ(MPxCommand::currentIntResult(), 3);
    MPxCommand::appendToResult(4);
    EXPECT_TRUE(MPxCommand::isCurrentResultArray());
    MIntArray ints;
    ASSERT_TRUE(MPxCommand::getCurrentResult(ints));
    EXPECT_EQ(ints.length(), 2u);
    MPxCommand::appendToResult(0.5);  // a float widens the array
    MDoubleArray doubles;
    ASSERT_TRUE(MPxCommand::getCurrentResult(doubles));
    EXPECT_DOUBLE_EQ(doubles[2], 0.5);
    MPxCommand::appendToResult("x");  // a string makes it a string array
    MStringArray strings;
    ASSERT_TRUE(MPxCommand::getCurrentResult(strings));
    ASSERT_EQ(strings.length(), 4u);
    EXPECT_EQ(strings[2], "0.5");
    EXPECT_EQ(strings[3], "x");

    MPxCommand::setResult(MString("name"));
    MStatus st;
    EXPECT_EQ(MPxCommand::currentIntResult(&st), 0);
    EXPECT_FALSE(st);
    EXPECT_EQ(MPxCommand::currentStringResult(), "name");
    {
        // A nested command has its own result.
        kxh::ResultScope inner;
        MPxCommand::setResult(1.5);
        EXPECT_EQ(inner.take().asFloat(), 1.5);
    }
    EXPECT_EQ(scope.take().asString(), "name");
}

}  // namespace
