// Random and mutated texts must never crash the interpreter, and a text that does not parse must run
// nothing.
#include <random>

#include "MelTestUtil.h"

using namespace kxh;
using namespace kxh::mel;
using kxh::mel::test::MelTest;

namespace {

const char* const kSeeds[] = {
    "int $i = 0; for ($i = 0; $i < 3; $i++) { print $i; }",
    "global proc int f(int $n) { if ($n < 1) return 0; return $n + f($n - 1); } f(4);",
    "string $a[] = {\"a\", \"b\"}; for ($s in $a) print ($s + \"\\n\");",
    "counter -p 1 -2 .5 -p 1e-05 0 0 pCube1.vtx[1:4] |a|b node.tweak[2];",
    "vector $v = <<1, 2, 3>>; $v.x = $v.y * 2; print $v;",
    "switch (2) { case 1: print 1; break; default: print 2; }",
    "catch(`counter -x`); eval \"counter 1\"; $z[3] = 1; print (size($z));",
    "int $k = 3; while ($k-- > 0) { if ($k == 1) continue; counter $k; } do { $k++; } while ($k < 2);",
    "string $t[]; tokenize(\"a.b[2]\", \".[]\", $t); print (substring(\"abcdef\", 2, 4) + $t[1]);",
    "undoInfo -ock; counter (1 + 2) `counter a`; undoInfo -cck; undo; redo;",
};

}  // namespace

class MelFuzz : public MelTest {
protected:
    void SetUp() override {
        MelTest::SetUp();
        mel.setMaxSteps(20000);
        mel.setMaxCallDepth(60);
        CommandDef d;
        d.name = "counter";
        d.handler = [this](Invocation&) {
            ++calls;
            return true;
        };
        mel.commands().add(d);
    }
    void check(const std::string& text) {
        int before = calls;
        std::string parseError;
        bool parses = mel.parses(text, &parseError);
        Interpreter::Status st = mel.execute(text);
        if (!parses) {
            EXPECT_FALSE(st.ok) << text;
            EXPECT_EQ(calls, before) << "ran a command although the text does not parse:\n" << text;
        }
        output().clear();
    }
    int calls = 0;
};

TEST_F(MelFuzz, RandomCharactersNeverCrash) {
    std::mt19937 rng(1234);
    std::string alphabet = "abcdefxyz$_0123456789 \t\n;,.:?!+-*/%<>=&|()[]{}\"'`\\#@intfloatstringproc\xff";
    alphabet += '\0';
    for (int n = 0; n < 4000; ++n) {
        std::string text;
        size_t len = rng() % 60;
        for (size_t i = 0; i < len; ++i) text += alphabet[rng() % alphabet.size()];
        check(text);
    }
}

TEST_F(MelFuzz, MutatedScriptsNeverCrash) {
    std::mt19937 rng(99);
    const std::string inserts = ";{}()[]\"`$<>-.,=+ \n/*";
    for (int n = 0; n < 4000; ++n) {
        std::string text = kSeeds[rng() % (sizeof kSeeds / sizeof kSeeds[0])];
        int edits = 1 + int(rng() % 4);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            size_t at = rng() % text.size();
            switch (rng() % 3) {
                case 0:
                    text.erase(at, 1 + rng() % 3);
                    break;
                case 1:
                    text.insert(at, 1, inserts[rng() % inserts.size()]);
                    break;
                default:
                    text[at] = inserts[rng() % inserts.size()];
                    break;
            }
        }
        check(text);
    }
}

TEST_F(MelFuzz, DeepNestingIsRefusedNotOverflowed) {
    std::string deep(100000, '(');
    EXPECT_FALSE(mel.execute("$x = " + deep + "1;").ok);
    std::string blocks;
    for (int i = 0; i < 50000; ++i) blocks += "{";
    EXPECT_FALSE(mel.execute(blocks).ok);
    std::string unary(100000, '-');
    EXPECT_FALSE(mel.execute("$y = " + unary + "1;").ok);
    std::string sum = "1";
    for (int i = 0; i < 100000; ++i) sum += "+1";
    EXPECT_FALSE(mel.execute("$z = " + sum + ";").ok);
    // Seeds themselves run.
    for (const char* s : kSeeds) EXPECT_TRUE(mel.parses(s)) << s;
}
