// The language as scripts from the application use it: C-style casts, implicit declaration by first
// assignment, the vector operators and the precedence of every operator.
#include "MelTestUtil.h"

using namespace kxh;
using namespace kxh::mel;
using kxh::mel::test::MelTest;

using MelCasts = MelTest;

TEST_F(MelCasts, CStyleCastsConvertBetweenTheScalarTypes) {
    EXPECT_EQ(eval("string $s = \"3.7\"; (float)$s + 1"), "4.7");
    EXPECT_EQ(eval("string $s = \"3.7\"; (int)$s"), "3");
    EXPECT_EQ(eval("(int)3.7 + 0.5"), "3.5");  // the cast binds tighter than +
    EXPECT_EQ(eval("(int)-2.5"), "-2");
    EXPECT_EQ(eval("(string)1.5 + 1"), "1.51");
    EXPECT_EQ(eval("(vector)\"1 2 3\""), "<<1, 2, 3>>");
    EXPECT_EQ(eval("vector $v = <<1, 2, 3>>; (float)$v.y * 2"), "4");
    EXPECT_EQ(eval("float $f = 2.5; (int)($f * 2)"), "5");
    // Function-style casts keep working, and a parenthesised variable is not a cast.
    EXPECT_EQ(eval("int(\"42abc\") + float(\".5\")"), "42.5");
    EXPECT_EQ(eval("$x = 3; ($x) + 1"), "4");
    EXPECT_FALSE(run("(int[])$s").ok);
}

TEST_F(MelCasts, ImplicitDeclarationTakesTheTypeOfTheFirstValue) {
    eval(
        "$parts = `stringToStringArray \"a b c\" \" \"`; $n = `size $parts`; $t = `timerX`; $w = \"x\";"
        "$v = <<1, 2, 3>>; $f = 0.5;");
    EXPECT_EQ(eval("whatIs \"$parts\""), "string[] variable");
    EXPECT_EQ(eval("whatIs \"$n\""), "int variable");
    EXPECT_EQ(eval("whatIs \"$t\""), "float variable");
    EXPECT_EQ(eval("whatIs \"$v\""), "vector variable");
    EXPECT_EQ(eval("whatIs \"$f\""), "float variable");
    // Later assignments convert to the declared type.
    EXPECT_EQ(eval("$n = 2.9; $n"), "2");
    EXPECT_EQ(eval("$w = 5; $w + 1"), "51");
}

TEST_F(MelCasts, VectorOperators) {
    EXPECT_EQ(eval("<<1, 0, 0>> ^ <<0, 1, 0>>"), "<<0, 0, 1>>");
    EXPECT_EQ(eval("<<1, 0, 0>> + <<0, 1, 0>> ^ <<0, 0, 1>>"), "<<2, 0, 0>>");  // ^ binds like *
    EXPECT_EQ(eval("<<2, 4, 6>> / 2"), "<<1, 2, 3>>");
    EXPECT_EQ(eval("<<1, 2, 3>> - <<1, 1, 1>> * 2"), "<<-1, 0, 1>>");
    EXPECT_EQ(eval("<<1, 2, 3>> == <<1, 2, 3>>"), "1");
    EXPECT_EQ(eval("vector $v = <<1, 2, 3>>; $v.x + $v.y * $v.z"), "7");
    EXPECT_FALSE(run("1 ^ 2").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "The ^ operator takes two vectors."));
    EXPECT_FALSE(run("<<1, 2, 3>> < <<1, 2, 4>>").ok);
}

TEST_F(MelCasts, OperatorPrecedenceFollowsTheDocumentedTable) {
    EXPECT_EQ(eval("!0 * 5"), "5");                 // unary above multiplicative
    EXPECT_EQ(eval("2 + 3 * 4 % 5"), "4");          // * and % left to right above +
    EXPECT_EQ(eval("1 + 1 < 3"), "1");              // additive above relational
    EXPECT_EQ(eval("1 < 2 == 2 > 1"), "1");         // relational above equality
    EXPECT_EQ(eval("1 == 1 && 0 == 1 || 1"), "1");  // equality above && above ||
    EXPECT_EQ(eval("0 && 1 || 1 && 1"), "1");
    EXPECT_EQ(eval("1 || 0 ? 7 : 8"), "7");              // || above ?:
    EXPECT_EQ(eval("int $a; $a = 1 ? 2 : 3; $a"), "2");  // ?: above assignment
    EXPECT_EQ(eval("int $i = 2; $i += 3 * 2; $i"), "8");
    EXPECT_EQ(eval("int $i = 1; -$i++ + 10"), "9");
}

TEST_F(MelCasts, ConversionsInMixedExpressions) {
    EXPECT_EQ(eval("1 + 2.5"), "3.5");                  // int with float is float
    EXPECT_EQ(eval("\"2\" + 3"), "23");                 // a string with anything concatenates
    EXPECT_EQ(eval("<<1, 2, 3>> + 1"), "<<2, 3, 4>>");  // a number with a vector is taken per component
    EXPECT_EQ(eval("int $i = \"12abc\"; $i"), "12");
    EXPECT_EQ(eval("float $f = \"abc\"; $f"), "0");
    EXPECT_EQ(eval("float $f = <<3, 4, 0>>; $f"), "5");  // a vector assigned to a number gives its length
    EXPECT_EQ(eval("(int)<<3, 4, 1>>"), "5");
    EXPECT_EQ(eval("vector $v = 2; $v"), "<<2, 2, 2>>");
}
