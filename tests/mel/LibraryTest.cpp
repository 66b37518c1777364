// The language's procedure library: each family's documented results and one bad-input error each.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "MelTestUtil.h"

using namespace kxh;
using namespace kxh::mel;
using kxh::mel::test::MelTest;

using MelLibrary = MelTest;

namespace {

std::string tempDir() {
    auto dir = std::filesystem::temp_directory_path() / ("kx_mel_lib_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
}

}  // namespace

TEST_F(MelLibrary, TrigonometryPowersAndRounding) {
    EXPECT_EQ(eval("sin(0) + cos(0)"), "1");
    EXPECT_EQ(eval("equivalent(tan(deg_to_rad(45)), 1)"), "1");
    EXPECT_EQ(eval("rad_to_deg(atan2(1, 1))"), "45");
    EXPECT_EQ(eval("rad_to_deg(asin(1)) + rad_to_deg(acos(1))"), "90");
    EXPECT_EQ(eval("equivalent(sind(30), 0.5) + equivalent(atan2d(1, 1), 45)"), "2");
    EXPECT_EQ(eval("exp(0) + log(1) + log10(100)"), "3");
    EXPECT_EQ(eval("sqrt(16) + pow(2, 10)"), "1028");
    EXPECT_EQ(eval("abs(-3) + sign(-2.5) + sign(0)"), "2");
    EXPECT_EQ(eval("floor(-1.5) + ceil(1.2) + trunc(-1.7)"), "-1");
    EXPECT_EQ(eval("fmod(7.5, 2) + hypot(3, 4)"), "6.5");
    EXPECT_FALSE(run("sin({1, 2})").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "Cannot convert data of type int[] to type float."));
    EXPECT_FALSE(run("atan2(1)").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "Wrong number of arguments on call to atan2."));
}

TEST_F(MelLibrary, ClampsStepsAndLimits) {
    EXPECT_EQ(eval("clamp(0, 1, 2)"), "1");  // clamp(min, max, value)
    EXPECT_EQ(eval("clamp(0, 1, -2)"), "0");
    EXPECT_EQ(eval("clamp(0, 1, 0.25)"), "0.25");
    EXPECT_EQ(eval("linstep(0, 2, 1)"), "0.5");
    EXPECT_EQ(eval("linstep(0, 2, 5) + linstep(0, 2, -1)"), "1");
    EXPECT_EQ(eval("smoothstep(0, 1, 0.5)"), "0.5");
    EXPECT_EQ(eval("smoothstep(0, 1, 0.25)"), "0.15625");
    EXPECT_EQ(eval("min(2, 3) + max(2.5, 1)"), "4.5");
    EXPECT_FALSE(run("clamp(0, 1)").ok);
}

TEST_F(MelLibrary, RandomNumbersRepeatAfterSeed) {
    std::string a = eval("seed 7; rand(10)");
    std::string b = eval("seed 7; rand(10)");
    EXPECT_EQ(a, b);
    eval(
        "seed 1; float $lo = 100, $hi = -100; for ($i = 0; $i < 200; $i++) {"
        "  float $r = rand(-2, 3); $lo = min($lo, $r); $hi = max($hi, $r); }");
    EXPECT_EQ(eval("$lo >= -2 && $hi < 3 && $lo < -1.5 && $hi > 2.5"), "1");
    EXPECT_EQ(eval("vector $r = rand(<<1, 0, 1>>); $r.y"), "0");
    EXPECT_EQ(eval("mag(sphrand(2)) <= 2"), "1");
    EXPECT_EQ(eval("gauss(0)"), "0");
    EXPECT_FALSE(run("rand()").ok);
}

TEST_F(MelLibrary, VectorProcedures) {
    EXPECT_EQ(eval("mag(<<3, 4, 0>>)"), "5");
    EXPECT_EQ(eval("cross(<<1, 0, 0>>, <<0, 1, 0>>)"), "<<0, 0, 1>>");
    EXPECT_EQ(eval("dot(<<1, 2, 3>>, <<4, 5, 6>>)"), "32");
    EXPECT_EQ(eval("unit(<<0, 0, 5>>)"), "<<0, 0, 1>>");
    EXPECT_EQ(eval("unit(<<0, 0, 0>>)"), "<<0, 0, 0>>");
    EXPECT_EQ(eval("rad_to_deg(angle(<<1, 0, 0>>, <<0, 2, 0>>))"), "90");
    EXPECT_EQ(eval("vector $r = rot(<<1, 0, 0>>, <<0, 0, 1>>, deg_to_rad(90)); equivalent($r.y, 1)"), "1");
    EXPECT_EQ(eval("mag({3.0, 4.0, 0.0})"), "5");  // a float[3] passes for a vector
    EXPECT_FALSE(run("mag({\"a\", \"b\"})").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "Cannot convert data of type string[] to type vector."));
}

TEST_F(MelLibrary, FormatAndSort) {
    EXPECT_EQ(eval("format -s \"a\" -s \"b\" \"^2s then ^1s, 5^^2\""), "b then a, 5^2");
    EXPECT_EQ(eval("format -stringArg 3 \"x^1s\""), "x3");
    EXPECT_EQ(eval("sort({\"pear\", \"Apple\", \"fig\"})"), "Apple fig pear");
    EXPECT_EQ(eval("sort({10, 9, 100})"), "9 10 100");  // numbers sort by value
    EXPECT_EQ(eval("sort({2.5, -1.0})"), "-1 2.5");
    EXPECT_EQ(eval("sortCaseInsensitive({\"b\", \"A\", \"c\"})"), "A b c");
    EXPECT_FALSE(run("format -s a \"^2s\"").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "format: no -stringArg for ^2s."));
    EXPECT_FALSE(run("sort(\"abc\")").ok);
}

TEST_F(MelLibrary, StringArrayProcedures) {
    eval("string $l[] = {\"a\", \"b\", \"a\", \"c\"};");
    EXPECT_EQ(eval("stringArrayRemove({\"a\"}, $l)"), "b c");
    EXPECT_EQ(eval("stringArrayRemoveExact({\"a\"}, $l)"), "b a c");
    EXPECT_EQ(eval("stringArrayCount(\"a\", $l)"), "2");
    EXPECT_EQ(eval("stringArrayRemoveDuplicates($l)"), "a b c");
    EXPECT_EQ(eval("stringArrayFind(\"a\", 1, $l)"), "2");
    EXPECT_EQ(eval("stringArrayFind(\"z\", 0, $l)"), "-1");
    EXPECT_EQ(eval("stringArrayCatenate($l, {\"d\"})"), "a b a c d");
    EXPECT_EQ(eval("stringArrayRemoveAtIndex(1, $l)"), "a a c");
    EXPECT_EQ(eval("stringArrayInsertAtIndex(1, $l, \"x\"); $l"), "a x b a c");
    EXPECT_EQ(eval("stringArrayInsertAtIndex(99, $l, \"end\"); $l[5]"), "end");
    EXPECT_EQ(eval("stringArrayInsertAtIndex(-1, $l, \"no\")"), "0");
    EXPECT_EQ(eval("string $to[] = {\"q\"}; appendStringArray($to, $l, 2); $to"), "q a x");
    EXPECT_EQ(eval("stringArrayToString($l, \",\")"), "a,x,b,a,c,end");
    EXPECT_FALSE(run("stringArrayCount(\"a\", \"a\")").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "Cannot convert data of type string to type string[]."));
    EXPECT_FALSE(run("stringArrayInsertAtIndex(0, {\"a\"}, \"b\")").ok);  // needs a variable to edit
}

TEST_F(MelLibrary, NumberArraysAndStringHelpers) {
    EXPECT_EQ(eval("intArrayCount(2, {1, 2, 2, 3})"), "2");
    EXPECT_EQ(eval("intArrayContains(3, {1, 2, 3}) + intArrayContains(4, {1})"), "1");
    EXPECT_EQ(eval("intArrayFind(2, 2, {2, 1, 2})"), "2");
    EXPECT_EQ(eval("floatArrayToString({1.5, 2.0, -0.25}, \", \")"), "1.5, 2, -0.25");
    EXPECT_EQ(eval("intArrayToString({1, 2}, \"-\")"), "1-2");
    EXPECT_EQ(eval("basename(\"/a/b/c.obj\", \".obj\") + \"|\" + dirname(\"/a/b/c.obj\")"), "c|/a/b");
    EXPECT_EQ(eval("fileExtension(\"/a.b/c.tar.gz\") + fileExtension(\"/a.b/c\")"), "gz");
    EXPECT_EQ(eval("substituteAllString(\"a.b.c\", \".\", \"::\")"), "a::b::c");
    EXPECT_EQ(eval("capitalizeString(\"mesh\") + startString(\"abcdef\", 2) + endString(\"abcdef\", 2)"),
              "Meshabef");
    EXPECT_FALSE(run("intArrayCount(1, 2)").ok);
}

TEST_F(MelLibrary, EnvironmentAndAbout) {
    eval("putenv \"KX_MEL_LIB_TEST\" \"on\"");
    EXPECT_STREQ(std::getenv("KX_MEL_LIB_TEST"), "on");
    EXPECT_EQ(eval("getenv \"KX_MEL_LIB_TEST\""), "on");
    EXPECT_EQ(eval("getenv \"KX_MEL_LIB_TEST_UNSET\""), "");
    EXPECT_EQ(eval("about -v"), "2011");
    EXPECT_EQ(eval("about -api"), "201104");
    EXPECT_EQ(eval("about -linux"), "1");
    EXPECT_EQ(eval("about -windows"), "0");
    EXPECT_EQ(eval("size(`about -cd`)"), "10");
    EXPECT_FALSE(run("putenv \"\" \"x\"").ok);
    EXPECT_FALSE(run("about -v -api").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "about: exactly one flag is expected."));
}

TEST_F(MelLibrary, FilesWriteReadAndRewind) {
    std::string path = tempDir() + "/lines.txt";
    mel.setGlobalVariable("gPath", Value(path));
    eval("global string $gPath; int $f = `fopen $gPath \"w\"`; fprint $f \"one two\\nthree\\n\"; fclose $f;");
    std::ifstream in(path);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all, "one two\nthree\n");
    EXPECT_EQ(eval("global string $gPath; $f = `fopen $gPath \"r\"`; string $l = `fgetline $f`; $l"),
              "one two\n");
    EXPECT_EQ(eval("fgetline $f"), "three\n");
    EXPECT_EQ(eval("feof $f"), "1");
    EXPECT_EQ(eval("fgetline $f"), "");
    EXPECT_EQ(eval("frewind $f; fgetword $f"), "one");
    EXPECT_EQ(eval("fgetword $f"), "two");
    EXPECT_EQ(eval("fgetword $f \"\\n\""), "three");
    EXPECT_EQ(eval("fclose $f; filetest -f $gPath"), "1");
    EXPECT_EQ(eval("filetest -d $gPath"), "0");
    EXPECT_EQ(eval("filetest -s $gPath"), "1");
    EXPECT_EQ(eval("fopen (\"/nonexistent/dir/x.txt\", \"r\")"), "0");
    // The file is closed: its id is refused.
    EXPECT_FALSE(run("fprint $f \"x\"").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "fprint: invalid file identifier"));
    EXPECT_FALSE(run("fopen $gPath \"rw\"").ok);
    std::filesystem::remove_all(tempDir());
}

TEST_F(MelLibrary, BinaryWriteAndReadRoundTrip) {
    mel.setGlobalVariable("gBin", Value(tempDir() + "/values.bin"));
    eval(
        "global string $gBin; int $f = fopen($gBin, \"w\"); fwrite $f 42; fwrite $f 0.5; fwrite $f \"name\";"
        "fwrite $f <<1, 2, 3>>; fclose $f;");
    EXPECT_EQ(eval("$f = fopen($gBin, \"r\"); int $i = fread($f, 0); float $x = fread($f, 0.0);"
                   "string $s = fread($f, \"\"); vector $v = fread($f, <<0, 0, 0>>); fclose $f;"
                   "$i + \" \" + $x + \" \" + $s + \" \" + $v.z"),
              "42 0.5 name 3");
    EXPECT_FALSE(run("$f = fopen($gBin, \"a\"); catch(fwrite($f, {1, 2})); fclose $f; fwrite $f 1").ok);
    std::filesystem::remove_all(tempDir());
}

TEST_F(MelLibrary, GetFileListMatchesThePattern) {
    std::string dir = tempDir();
    for (const char* n : {"b.obj", "a.obj", "c.txt"}) std::ofstream(dir + "/" + n) << "x";
    mel.setGlobalVariable("gDir", Value(dir));
    EXPECT_EQ(eval("global string $gDir; getFileList -fld ($gDir + \"/\") -fs \"*.obj\""), "a.obj b.obj");
    EXPECT_EQ(eval("size(`getFileList -fld $gDir`)"), "3");
    EXPECT_EQ(eval("size(`getFileList -fld \"/nonexistent/dir\"`)"), "0");
    EXPECT_FALSE(run("filetest -q $gDir").ok);
    std::filesystem::remove_all(dir);
}

TEST_F(MelLibrary, TimerXMeasuresFromAStart) {
    EXPECT_EQ(eval("$t0 = `timerX`; $dt = `timerX -startTime $t0`; $dt >= 0 && $t0 > 0"), "1");
    EXPECT_FALSE(run("timerX -st").ok);
}

TEST_F(MelLibrary, EvalDeferredRunsWhenTheTextEnds) {
    // In one text the deferred command runs after everything else, lowest priority last, -en first.
    eval(
        "global string $gLog; $gLog = \"\"; evalDeferred -lp \"$gLog += \\\"L\\\"\";"
        "evalDeferred \"$gLog += \\\"N\\\"\"; evalDeferred -en \"$gLog += \\\"E\\\"\"; $gLog += \"T\";"
        "$gLog += size(`evalDeferred -ls`);");
    EXPECT_EQ(mel.globalVariable("gLog")->asString(), "T3ENL");
    // flushIdleQueue runs the queue at once, inside the text.
    eval(
        "global string $gLog; $gLog = \"\"; evalDeferred \"$gLog += \\\"D\\\"\"; flushIdleQueue; $gLog += "
        "\"T\";");
    EXPECT_EQ(mel.globalVariable("gLog")->asString(), "DT");
    // A failing deferred command reports its error; the queue goes on.
    eval(
        "global string $gLog; $gLog = \"\"; evalDeferred \"error boom\"; evalDeferred \"$gLog = "
        "\\\"after\\\"\";");
    EXPECT_EQ(mel.globalVariable("gLog")->asString(), "after");
    EXPECT_TRUE(output().contains(OutputKind::Error, "boom"));
    EXPECT_FALSE(run("evalDeferred").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "evalDeferred: no script given."));
}
