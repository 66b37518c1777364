// Command syntax, function syntax, backquotes and how errors stop a text.
#include <fstream>

#include "MelTestUtil.h"

using namespace kxh;
using namespace kxh::mel;
using kxh::mel::test::MelTest;

namespace {

// A command that records the words it was given, each as "<kind>:<text>" ("f" flag, "i" int, "d" float,
// "s" string, "a" array).
struct Recorder {
    std::vector<std::vector<std::string>> calls;
    std::vector<std::string> lines;
    void install(Interpreter& mel, const std::string& name = "rec") {
        CommandDef d;
        d.name = name;
        d.handler = [this](Invocation& inv) {
            std::vector<std::string> words;
            for (const auto& a : inv.args) {
                const char* k = a.isFlag                               ? "f"
                                : a.value.isArray()                    ? "a"
                                : a.value.kind() == Value::Kind::Int   ? "i"
                                : a.value.kind() == Value::Kind::Float ? "d"
                                                                       : "s";
                words.push_back(std::string(k) + ":" + a.value.toString());
            }
            calls.push_back(words);
            lines.push_back(inv.commandLine);
            inv.result = Value(long(calls.size()));
            return true;
        };
        mel.commands().add(d);
    }
    std::string last() const {
        std::string s;
        for (const auto& w : calls.back()) s += (s.empty() ? "" : " ") + w;
        return s;
    }
};

}  // namespace

class MelCommands : public MelTest {
protected:
    void SetUp() override {
        MelTest::SetUp();
        rec.install(mel);
    }
    Recorder rec;
};

TEST_F(MelCommands, WordsFlagsNumbersAndComponentNames) {
    ASSERT_TRUE(run("rec -ch 1 -p -1 .5 1e-05 -d .0001 0.0").ok);
    EXPECT_EQ(rec.last(), "f:-ch i:1 f:-p i:-1 d:0.5 d:1e-05 f:-d d:0.0001 d:0");
    ASSERT_TRUE(
        run("rec pCube1.vtx[1:4] pCube1.vtx[*] obj.e[2] obj.f[0:3] obj.map[0:7] |a|b node.attr n.tweak[2]")
            .ok);
    EXPECT_EQ(rec.last(),
              "s:pCube1.vtx[1:4] s:pCube1.vtx[*] s:obj.e[2] s:obj.f[0:3] s:obj.map[0:7] s:|a|b s:node.attr "
              "s:n.tweak[2]");
    // Quoted words are values even when they look like flags; runs of blanks separate words.
    ASSERT_TRUE(run("rec  -type   \"-x\" \"a b\"\t\"q\\\"q\"").ok);
    EXPECT_EQ(rec.last(), "f:-type s:-x s:a b s:q\"q");
    EXPECT_EQ(rec.lines.back(), "rec  -type   \"-x\" \"a b\"\t\"q\\\"q\"");
    // A command spans lines until its ';'.
    ASSERT_TRUE(run("rec -a\n   1\n   2;").ok);
    EXPECT_EQ(rec.last(), "f:-a i:1 i:2");
}

TEST_F(MelCommands, VariablesExpressionsArraysAndBackquotesAsWords) {
    ASSERT_TRUE(
        run("string $n = \"pCube1\"; int $i[] = {3, 4}; rec $n ($n + \".tx\") $i[1] {1, 2} <<1, 2, 3>>").ok);
    EXPECT_EQ(rec.last(), "s:pCube1 s:pCube1.tx i:4 a:1 2 s:<<1, 2, 3>>");
    ASSERT_TRUE(run("rec `rec a` (`rec b` + 10)").ok);
    EXPECT_EQ(rec.last(), "i:2 i:13");  // the results of calls 2 and 3
    // setAttr style: a parenthesized first word followed by more words is command syntax.
    ASSERT_TRUE(run("rec ($n + \".tx\") 5").ok);
    EXPECT_EQ(rec.last(), "s:pCube1.tx i:5");
    EXPECT_EQ(eval("string $r = `rec -q`; $r"), "6");
}

TEST_F(MelCommands, FunctionSyntaxForCommands) {
    EXPECT_EQ(eval("rec(\"-sl\", 1, \"x\") + 1"), "2");
    EXPECT_EQ(rec.last(), "f:-sl i:1 s:x");
    ASSERT_TRUE(run("rec(); rec ();").ok);
    EXPECT_EQ(rec.calls.size(), 3u);
    EXPECT_TRUE(rec.calls.back().empty());
    EXPECT_EQ(eval("size(rec(1))"), "1");
}

TEST_F(MelCommands, ErrorsCarryTheLineAndStopTheText) {
    Interpreter::Status st = run("rec a;\nrec b;\nbogus 1;\nrec c;");
    EXPECT_FALSE(st.ok);
    EXPECT_EQ(st.error, "line 3: Cannot find procedure \"bogus\".");
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0], "line 3: Cannot find procedure \"bogus\".");
    EXPECT_EQ(rec.calls.size(), 2u);  // "rec c" did not run

    // A command's own error text, prefixed with the line.
    CommandDef d;
    d.name = "strict";
    auto syntax = std::make_shared<Syntax>();
    syntax->flag("v", "value", {ArgType::Float});
    d.handler = [syntax](Invocation& inv) {
        ParsedArgs pa;
        return parseArgs(inv.name, *syntax, inv.args, pa, inv.error);
    };
    mel.commands().add(d);
    output().clear();
    st = run("strict -v 1;\nstrict -xyz;");
    EXPECT_FALSE(st.ok);
    EXPECT_EQ(st.error, "line 2: Invalid flag: -xyz");
    EXPECT_EQ(errors(), std::vector<std::string>{"line 2: Invalid flag: -xyz"});
    st = run("strict -v abc");
    EXPECT_EQ(st.error, "line 1: Flag '-v' must be passed a float argument.");

    // Errors inside a procedure stop the caller too.
    st = run("proc inner() { rec in; bogus2; rec after; }\ninner();\nrec never;");
    EXPECT_FALSE(st.ok);
    EXPECT_EQ(rec.last(), "s:in");

    // A file's errors name the file.
    st = mel.execute("rec x;\nbogus3;", "scene.mel");
    EXPECT_EQ(st.error, "file: scene.mel line 2: Cannot find procedure \"bogus3\".");
}

TEST_F(MelCommands, SyntaxErrorAnywhereRunsNothing) {
    for (const char* text : {"rec a;\nrec b;\nint $x = ;", "rec a; if (1 { rec b; }", "rec a; \"unterminated",
                             "rec a; /* open comment", "rec a; $x = (1 + 2;", "rec a; proc f( { }",
                             "rec a; { rec b;", "rec a; rec b)", "rec a; else rec b;", "rec `rec a"}) {
        rec.calls.clear();
        output().clear();
        Interpreter::Status st = run(text);
        EXPECT_FALSE(st.ok) << text;
        EXPECT_TRUE(rec.calls.empty()) << text;
        EXPECT_NE(st.error.find("Syntax error"), std::string::npos) << text;
        EXPECT_EQ(errors().size(), 1u) << text;
    }
    Interpreter::Status st = run("rec a;\nrec b;\nint $x = ;");
    EXPECT_EQ(st.error, "line 3: Syntax error");
    std::string err;
    EXPECT_FALSE(mel.parses("a;\n\n(", &err));
    EXPECT_EQ(err, "line 3: Syntax error");
    EXPECT_TRUE(mel.parses("polyMergeVertex  -d .0001 -am 1 -ch 0; ; select -d;"));
}

TEST_F(MelCommands, CatchEvalAndErrorCommand) {
    EXPECT_EQ(eval("catch(bogus())"), "1");
    EXPECT_EQ(errors().size(), 1u);  // catch still reports the error
    output().clear();
    EXPECT_EQ(eval("catchQuiet(`bogus`)"), "1");
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(eval("catch(`rec ok`)"), "0");
    EXPECT_EQ(eval("catch(eval(\"error \\\"boom\\\"\"))"), "1");
    EXPECT_TRUE(output().contains(OutputKind::Error, "line 1: boom"));
    EXPECT_EQ(eval("eval \"int $q = 6; $q * 7\""), "42");
    EXPECT_EQ(eval("eval(\"rec\", \"-z\", 3)"), "2");
    EXPECT_EQ(rec.last(), "f:-z i:3");
    // A failed eval stops its caller and is reported only once.
    output().clear();
    Interpreter::Status st = run("eval \"bogus4\"; rec never;");
    EXPECT_FALSE(st.ok);
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(rec.last(), "f:-z i:3");
    // Syntax errors inside eval are caught too.
    EXPECT_EQ(eval("catchQuiet(eval(\"if (\"))"), "1");
}

TEST_F(MelCommands, SourceFindsScriptsOnThePath) {
    std::string dir = ::testing::TempDir() + "melsrc";
    std::string mkdir = "mkdir -p '" + dir + "'";
    ASSERT_EQ(std::system(mkdir.c_str()), 0);
    {
        std::ofstream f(dir + "/kx_test_ui.mel");
        f << "global proc int kxAnswer() { return 42; }\nproc int helper() { return 1; }\n"
             "global proc int kxUsesHelper() { return helper() + 1; }\n";
    }
    EXPECT_FALSE(run("source kx_test_ui").ok);
    EXPECT_TRUE(
        output().contains(OutputKind::Error, "Cannot find file \"kx_test_ui\" for source statement."));
    mel.addScriptPath(dir);
    ASSERT_TRUE(run("source kx_test_ui").ok);
    EXPECT_EQ(eval("kxAnswer()"), "42");
    // A file's own procedures stay private to it but its global ones can call them.
    EXPECT_EQ(eval("kxUsesHelper()"), "2");
    EXPECT_FALSE(run("helper()").ok);
    EXPECT_EQ(eval("whatIs kxAnswer"), "Mel procedure found in: " + dir + "/kx_test_ui.mel");
    EXPECT_EQ(eval("whatIs rec"), "Command");
    EXPECT_EQ(eval("whatIs nothingAtAll"), "Unknown");
    EXPECT_EQ(eval("string $wv[]; whatIs \"$wv\""), "string[] variable");
    EXPECT_EQ(eval("exists rec"), "1");
    EXPECT_EQ(eval("exists kxAnswer"), "1");
    EXPECT_EQ(eval("exists nope"), "0");
    Interpreter::Status st = mel.executeFile(dir + "/missing.mel");
    EXPECT_FALSE(st.ok);
}

TEST_F(MelCommands, StringAndMathCommands) {
    EXPECT_EQ(eval("string $parts[]; int $n = tokenize(\"a b  c\", $parts); $n"), "3");
    EXPECT_EQ(eval("$parts"), "a b c");
    EXPECT_EQ(eval("string $p2[]; tokenize(\"pCube1.vtx[3]\", \".[]\", $p2); $p2"), "pCube1 vtx 3");
    EXPECT_EQ(eval("clear($p2); size($p2)"), "0");
    EXPECT_EQ(eval("strcmp(\"a\", \"b\")"), "-1");
    EXPECT_EQ(eval("strcmp(\"b\", \"b\")"), "0");
    EXPECT_EQ(eval("substring(\"pCube1\", 2, 4)"), "Cub");
    EXPECT_EQ(eval("substring(\"abc\", 3, 10)"), "c");
    EXPECT_EQ(eval("substring(\"abc\", 3, 1)"), "");
    EXPECT_EQ(eval("match(\"[0-9]+\", \"pCube12.vtx\")"), "12");
    EXPECT_EQ(eval("match(\"z\", \"abc\")"), "");
    EXPECT_EQ(eval("substitute(\"Cube\", \"pCube1\", \"Sphere\")"), "pSphere1");
    EXPECT_EQ(eval("gmatch(\"pCube1\", \"p*1\")"), "1");
    EXPECT_EQ(eval("gmatch(\"pCube1\", \"p?ube[0-9]\")"), "1");
    EXPECT_EQ(eval("gmatch(\"pCube1\", \"*Sphere*\")"), "0");
    EXPECT_EQ(
        eval("startsWith(\"kxTool\", \"kx\") + endsWith(\"kxTool\", \"Tool\") + endsWith(\"a\", \"ab\")"),
        "2");
    EXPECT_EQ(eval("toupper(\"aB1\") + tolower(\"Cd\")"), "AB1cd");
    EXPECT_EQ(eval("stringArrayContains(\"b\", {\"a\", \"b\"})"), "1");
    EXPECT_EQ(eval("stringArrayToString({\"a\", \"b\"}, \", \")"), "a, b");
    EXPECT_EQ(eval("size(\"hello\") + size({1, 2, 3})"), "8");
    EXPECT_EQ(eval("abs(-3)"), "3");
    EXPECT_EQ(eval("abs(-2.5)"), "2.5");
    EXPECT_EQ(eval("floor(-1.5) + ceil(1.2)"), "0");
    EXPECT_EQ(eval("min(3, 2) + max(1.5, 1)"), "3.5");
    EXPECT_EQ(eval("sqrt(16) + pow(2, 10)"), "1028");
    EXPECT_FALSE(run("match(\"(\", \"x\")").ok);
    EXPECT_FALSE(run("strcmp(\"a\")").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "Wrong number of arguments on call to strcmp."));
}

TEST_F(MelCommands, PrintWritesArraysOneElementPerLine) {
    ASSERT_TRUE(run("print \"a\"; print 1.5; print {\"x\", \"y\"}; print(\"z\\n\");").ok);
    EXPECT_EQ(printed(), "a1.5x\ny\nz\n");
}

TEST_F(MelCommands, HostCommandLinesAsToolsIssueThem) {
    const char* lines[] = {
        "polyCreateFacet -p 0 0 0 -p 1 0 0 -p 1 1 0 -p 0 1 0 ; ; select -d;",
        "polyAppendVertex -p 0 0 0 -v 5 -p 1.5 0 -0.5 -v 6 pPlane1",
        "isolateSelect -ado \"kxModelingToolsDrawSSPointLocator\" modelPanel4",
        "doMenuComponentSelection(\"pCube1\", \"vertex\")",
        "setAttr polyExtrudeFace1.localTranslateZ 0.5; setAttr polyBevel1.offset 0.2; setAttr "
        "polyBevel1.segments 2",
        "polyEditUV -r -1 -u -1 pCube1.map[0:7]",
        "selectType -ocm -q -v",
        "tumbleCtx -e -localTumble 1 tumbleContext",
        "setAttr kxModelingToolsDrawQuadLocator.tweak[3] 1 2 3",
        "polyMergeVertex  -d .0001 -am 1 -ch 0",
        "polyPerformAction polyMapCut e 0",
        "sets -rm \"kxTSmoothObjectsSet\" |pCube1|pCubeShape1",
        "kxMergeVerts -mr 1 -id 12 -mId 40 -ax 0",
    };
    for (const char* line : lines) {
        std::string err;
        EXPECT_TRUE(mel.parses(line, &err)) << line << ": " << err;
    }
    // Run one through the recorder under another name to see the words arrive intact.
    rec.install(mel, "polyAppendVertex");
    ASSERT_TRUE(run(lines[1]).ok);
    EXPECT_EQ(rec.last(), "f:-p i:0 i:0 i:0 f:-v i:5 f:-p d:1.5 i:0 d:-0.5 f:-v i:6 s:pPlane1");
}
