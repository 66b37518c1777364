// The language: statements, expressions, variables, scopes, procedures and control flow.
#include "MelTestUtil.h"

using namespace kxh;
using namespace kxh::mel;
using kxh::mel::test::MelTest;

using MelLanguage = MelTest;

TEST_F(MelLanguage, ArithmeticAndPrecedence) {
    EXPECT_EQ(eval("1 + 2 * 3"), "7");
    EXPECT_EQ(eval("(1 + 2) * 3"), "9");
    EXPECT_EQ(eval("7 / 2"), "3");  // integer division
    EXPECT_EQ(eval("7 / 2.0"), "3.5");
    EXPECT_EQ(eval("7 % 3"), "1");
    EXPECT_EQ(eval("-7 % 3"), "-1");
    EXPECT_EQ(eval("5.5 % 2"), "1.5");
    EXPECT_EQ(eval("-2 - -3"), "1");
    EXPECT_EQ(eval("!0 + !5"), "1");
    EXPECT_EQ(eval("1 < 2 && 2 <= 2 && 3 > 2 && 3 >= 4 == 0"), "1");
    EXPECT_EQ(eval("0 || 0"), "0");
    EXPECT_EQ(eval("1 ? \"a\" : \"b\""), "a");
    EXPECT_EQ(eval("0 ? 1 : 0 ? 2 : 3"), "3");
    EXPECT_EQ(eval(".5 + 1e-05"), "0.50001");
    EXPECT_EQ(eval("0x10"), "16");
    EXPECT_EQ(eval("true + on + yes + false"), "3");
}

TEST_F(MelLanguage, StringsConcatenateWithNumbersAndCompare) {
    EXPECT_EQ(eval("\"a\" + 1"), "a1");
    EXPECT_EQ(eval("1.5 + \"b\""), "1.5b");
    EXPECT_EQ(eval("\"x\" + 2.0"), "x2");
    EXPECT_EQ(eval("\"abc\" == \"abc\""), "1");
    EXPECT_EQ(eval("\"abc\" != \"abd\""), "1");
    EXPECT_EQ(eval("\"tab\\there\\n\\\"q\\\"\""), "tab\there\n\"q\"");
    EXPECT_FALSE(run("\"a\" - 1").ok);
}

TEST_F(MelLanguage, VectorsBasic) {
    EXPECT_EQ(eval("<<1, 2, 3>> + <<1, 1, 1>>"), "<<2, 3, 4>>");
    EXPECT_EQ(eval("<<1, 2, 3>> * 2"), "<<2, 4, 6>>");
    EXPECT_EQ(eval("<<1, 2, 3>> * <<1, 0, 1>>"), "4");  // dot product
    EXPECT_EQ(eval("vector $v = <<1, -2, 3>>; $v.y"), "-2");
    EXPECT_EQ(eval("vector $v = <<1, 2, 3>>; $v.z = 7; $v"), "<<1, 2, 7>>");
    EXPECT_EQ(eval("-<<1, 2, 3>>"), "<<-1, -2, -3>>");
}

TEST_F(MelLanguage, DeclarationsConvertToTheirType) {
    EXPECT_EQ(eval("int $i = 3.9; $i"), "3");
    EXPECT_EQ(eval("float $f = 2; $f / 4"), "0.5");
    EXPECT_EQ(eval("string $s = 12; $s + 1"), "121");
    EXPECT_EQ(eval("int $a = 1, $b = $a + 1; $b"), "2");
    EXPECT_EQ(eval("$u = 4; $u = \"7x\"; $u + 1"), "8");  // untyped takes the kind of its first value
    EXPECT_EQ(eval("string $e[]; size($e)"), "0");
    EXPECT_EQ(eval("int $z[3]; size($z)"), "3");
    EXPECT_EQ(eval("float $fa[] = {1, 2}; $fa[1] / 4"), "0.5");
    EXPECT_EQ(eval("string $sa[] = {\"a\", \"b\"}; $sa[1]"), "b");
    EXPECT_FALSE(run("int $x = 1; string $x = \"a\";").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "Invalid redeclaration of variable \"$x\""));
    EXPECT_FALSE(run("string $one = {\"a\", \"b\"};").ok);
}

TEST_F(MelLanguage, ArraysGrowAndIndex) {
    EXPECT_EQ(eval("int $a[]; $a[2] = 5; $a"), "0 0 5");
    EXPECT_EQ(eval("string $s[]; $s[size($s)] = \"x\"; $s[size($s)] = \"y\"; size($s)"), "2");
    EXPECT_EQ(eval("$g[1] = 2.5; $g"), "0 2.5");  // undeclared element assignment makes an array
    EXPECT_EQ(eval("int $b[] = {1, 2, 3}; $b[1] += 10; $b[1]++; $b"), "1 13 3");
    EXPECT_EQ(eval("int $c[] = {4}; $c[7]"), "0");  // reading past the end
    EXPECT_FALSE(run("int $d[]; $d[-1] = 1;").ok);
    EXPECT_FALSE(run("int $d2[]; $d2[2000000000] = 1;").ok);
    EXPECT_FALSE(run("int $n = 1; $n[0] = 2;").ok);
    EXPECT_EQ(eval("$mixed = {1, 2.5}"), "1 2.5");
    EXPECT_EQ(eval("$mixed2 = {1, \"a\"}"), "1 a");
}

TEST_F(MelLanguage, IncrementsAndCompoundAssignment) {
    EXPECT_EQ(eval("int $i = 1; $i++"), "1");
    EXPECT_EQ(eval("$i"), "2");
    EXPECT_EQ(eval("++$i"), "3");
    EXPECT_EQ(eval("$i--; --$i"), "1");
    EXPECT_EQ(eval("$i += 4; $i -= 1; $i *= 3; $i /= 2; $i"), "6");
    EXPECT_EQ(eval("string $s = \"a\"; $s += \"b\"; $s"), "ab");
}

TEST_F(MelLanguage, ControlFlow) {
    EXPECT_EQ(eval("int $r = 0; if (1) $r = 1; else $r = 2; $r"), "1");
    EXPECT_EQ(eval("int $x = 5; string $s; if ($x < 3) $s = \"lo\"; else if ($x < 6) $s = \"mid\"; "
                   "else $s = \"hi\"; $s"),
              "mid");
    EXPECT_EQ(eval("int $t = 0; for ($k = 0; $k < 5; $k++) $t += $k; $t"), "10");
    EXPECT_EQ(eval("int $t2 = 0; for (int $k2 = 0, $m = 10; $k2 < 3; $k2++, $m--) $t2 += $m; $t2"), "27");
    EXPECT_EQ(eval("string $acc; for ($w in {\"a\", \"b\", \"c\"}) $acc += $w; $acc"), "abc");
    EXPECT_EQ(eval("int $n = 0; while ($n < 10) { $n++; if ($n == 3) break; } $n"), "3");
    EXPECT_EQ(
        eval("int $odd = 0; for ($j = 0; $j < 6; $j++) { if ($j % 2 == 0) continue; $odd += $j; } $odd"),
        "9");
    EXPECT_EQ(eval("int $d = 0; do { $d++; } while ($d < 0); $d"), "1");
    EXPECT_EQ(eval("string $r2; switch (2) { case 1: $r2 = \"one\"; break; case 2: $r2 = \"two\"; "
                   "case 3: $r2 += \"three\"; break; default: $r2 = \"none\"; } $r2"),
              "twothree");
    EXPECT_EQ(
        eval("string $r3; switch (\"z\") { case \"a\": $r3 = \"a\"; break; default: $r3 = \"d\"; } $r3"),
        "d");
    // An infinite loop is stopped by the step limit when one is set.
    mel.setMaxSteps(1000);
    EXPECT_FALSE(run("while (1) {}").ok);
}

TEST_F(MelLanguage, ScopesAndGlobals) {
    // A block's variables end with the block.
    EXPECT_FALSE(run("{ int $inner = 1; } print $inner;").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "\"$inner\" is an undeclared variable."));
    // Top-level variables persist between texts, as in the script editor.
    ASSERT_TRUE(run("int $kept = 41;").ok);
    EXPECT_EQ(eval("$kept + 1"), "42");
    // Procedures see only their own locals and the globals they declare.
    EXPECT_FALSE(run("proc int peek() { return $kept; } peek();").ok);
    EXPECT_EQ(eval("global int $g = 5; proc int readG() { global int $g; return $g * 2; } readG()"), "10");
    ASSERT_NE(mel.globalVariable("$g"), nullptr);
    EXPECT_EQ(mel.globalVariable("g")->asInt(), 5);
    mel.setGlobalVariable("$g", Value(8));
    EXPECT_EQ(eval("readG()"), "16");
    EXPECT_EQ(eval("int $shadow = 1; { int $shadow = 2; } $shadow"), "1");
}

TEST_F(MelLanguage, ProceduresReturnsRecursionAndArrays) {
    EXPECT_EQ(
        eval("global proc int fact(int $n) { if ($n <= 1) return 1; return $n * fact($n - 1); } fact(10)"),
        "3628800");
    EXPECT_EQ(eval("proc string[] pair(string $a, string $b) { return {$a, $b}; } pair(\"x\", 3)"), "x 3");
    EXPECT_EQ(eval("proc float half(float $x) { return $x / 2; } half(3)"), "1.5");
    EXPECT_EQ(eval("proc int noReturn() { } noReturn()"), "0");
    // Command syntax calls a procedure too; words become its arguments.
    EXPECT_EQ(eval("proc string join2(string $a, string $b) { return $a + \"-\" + $b; } join2 left right"),
              "left-right");
    // Array parameters are passed by reference.
    EXPECT_EQ(eval("proc fill(string $out[]) { $out[size($out)] = \"z\"; } string $arr[] = {\"a\"}; "
                   "fill($arr); $arr"),
              "a z");
    // Procedures are known before the statements of their text run.
    EXPECT_EQ(eval("later(); global proc int later() { return 7; }"), "7");
    EXPECT_EQ(eval("later()"), "7");
    EXPECT_FALSE(run("fact(1, 2);").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "Wrong number of arguments on call to fact."));
    // Runaway recursion fails instead of exhausting the stack.
    EXPECT_FALSE(run("proc forever(int $n) { forever($n + 1); } forever(0);").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "Maximum nesting"));
}

TEST_F(MelLanguage, ProcedureWinsOverCommandAndNativeProcs) {
    mel.addNativeProc("nativeSum", [](Interpreter&, const std::vector<Value>& a, Value& r, std::string&) {
        long s = 0;
        for (const auto& v : a) s += v.asInt();
        r = Value(s);
        return true;
    });
    EXPECT_TRUE(mel.procExists("nativeSum"));
    EXPECT_EQ(eval("nativeSum(1, 2, 3)"), "6");
    EXPECT_EQ(eval("nativeSum 4 5"), "9");
    Interpreter::Status st = mel.callProc("nativeSum", {Value(2), Value(3)});
    EXPECT_TRUE(st.ok);
    EXPECT_EQ(st.result.asInt(), 5);

    EXPECT_EQ(eval("size(\"abcd\")"), "4");
    ASSERT_TRUE(run("global proc int size(string $s) { return 99; }").ok);
    EXPECT_EQ(eval("size(\"abcd\")"), "99");
    EXPECT_TRUE(mel.removeProc("size"));
    EXPECT_EQ(eval("size(\"abcd\")"), "4");

    mel.addNativeProc("failing", [](Interpreter&, const std::vector<Value>&, Value&, std::string& e) {
        e = "it broke";
        return false;
    });
    EXPECT_FALSE(run("failing;").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "line 1: it broke"));
}

TEST_F(MelLanguage, CommentsAndEmptyStatements) {
    EXPECT_EQ(eval("// nothing\n int $a = 1; /* block\n comment */ ;; $a + 1; ;"), "2");
    EXPECT_TRUE(run("").ok);
    EXPECT_TRUE(run(";;;").ok);
    EXPECT_TRUE(run("print \"a\"; ; print \"b\";").ok);
    EXPECT_EQ(printed(), "ab");
}

TEST_F(MelLanguage, CastsThroughFunctionSyntax) {
    EXPECT_EQ(eval("int(3.7)"), "3");
    EXPECT_EQ(eval("float(\"2.5abc\") * 2"), "5");
    EXPECT_EQ(eval("string(1) + string(2)"), "12");
    EXPECT_EQ(eval("vector(\"1 2 3\")"), "<<1, 2, 3>>");
}

TEST_F(MelLanguage, ForLoopVariableOutlivesTheLoop) {
    EXPECT_EQ(eval("int $last; for ($last = 0; $last < 4; $last++) {} $last"), "4");
    EXPECT_EQ(eval("for ($fresh = 0; $fresh < 2; $fresh++) {} $fresh"), "2");
}
