// The kxhost program run as a separate process: -c texts, scripts, stdin, exit codes and output streams.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kHost = std::string(KX_BINARY_DIR) + "/bin/kxhost";

struct RunResult {
    int code = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& p) {
    std::ifstream f(p);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

class KxhostTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kHost)) GTEST_SKIP() << kHost << " is not built";
        dir_ = fs::temp_directory_path() / ("kxhost-test-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }

    fs::path write(const std::string& name, const std::string& text) {
        fs::path p = dir_ / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
        return p;
    }

    // Runs kxhost with the arguments, stdin from `input` (a file, so never a terminal) and extra
    // environment entries ("NAME=value").
    RunResult run(const std::vector<std::string>& args, const std::string& input = "",
                  const std::vector<std::string>& env = {}) {
        fs::path in = write("stdin.txt", input), out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
        pid_t pid = fork();
        if (pid == 0) {
            int fi = open(in.c_str(), O_RDONLY);
            int fo = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int fe = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fi, 0);
            dup2(fo, 1);
            dup2(fe, 2);
            if (chdir(dir_.c_str()) != 0) _exit(126);  // files a script writes land in the test's folder
            for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
            std::vector<char*> argv{const_cast<char*>(kHost.c_str())};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(kHost.c_str(), argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        RunResult r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        return r;
    }

    fs::path dir_;
};

}  // namespace

TEST_F(KxhostTest, CommandTextEchoesResults) {
    RunResult r = run({"-c", "window w; columnLayout; checkBox -v 1 cb; checkBox -q -v cb"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("// Result: 1 //"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");

    // Several -c texts run in order in one session.
    r = run({"-c", "window w", "-c", "window -ex w"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("// Result: 1 //"), std::string::npos) << r.out;
}

TEST_F(KxhostTest, FailingCommandTextExitsNonZeroWithTheErrorOnStderr) {
    RunResult r = run({"-c", "checkBox -q -v mirror_KXPT_CB", "-c", "print \"not reached\\n\""});
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.err.find("// Error:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("checkBox: Object 'mirror_KXPT_CB' not found."), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("not reached"), std::string::npos);
    EXPECT_EQ(r.out.find("// Result:"), std::string::npos);
}

TEST_F(KxhostTest, ScriptsRunInOrderAndFindScriptsBesideThem) {
    write("lib/kxHelper.mel", "global proc string kxHelper() { return \"helped\"; }\n");
    fs::path first =
        write("lib/first.mel",
              "source kxHelper;\n"
              "print (kxHelper() + \"\\n\");\n"
              "confirmDialog -t \"Up To Date!\" -m \"You are up to date.\" -b \"Ok\" -db \"Ok\";\n");
    fs::path second = write("second.mel", "print \"second\\n\";\n");
    RunResult r = run({first.string(), second.string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("helped\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("// confirmDialog: Up To Date! | You are up to date. | [Ok]"), std::string::npos)
        << r.out;
    EXPECT_LT(r.out.find("helped"), r.out.find("second"));
    EXPECT_EQ(r.out.find("// Result:"), std::string::npos);  // scripts run without echoing results
}

TEST_F(KxhostTest, FailingScriptStopsTheRun) {
    fs::path bad =
        write("bad.mel", "print \"before\\n\";\nintField -q -v nothing_IF;\nprint \"after\\n\";\n");
    fs::path later = write("later.mel", "print \"later\\n\";\n");
    RunResult r = run({bad.string(), later.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("before"), std::string::npos);
    EXPECT_EQ(r.out.find("after"), std::string::npos);
    EXPECT_EQ(r.out.find("later"), std::string::npos);
    EXPECT_NE(r.err.find("intField: Object 'nothing_IF' not found."), std::string::npos) << r.err;

    r = run({(dir_ / "missing.mel").string()});
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.err.find("missing.mel"), std::string::npos) << r.err;
}

TEST_F(KxhostTest, ScriptPathFromOptionAndEnvironment) {
    write("fromOption/kxOpt.mel", "global proc kxOpt() { print \"opt\\n\"; }\n");
    write("fromEnv/kxEnv.mel", "global proc kxEnv() { print \"env\\n\"; }\n");
    RunResult r =
        run({"-s", (dir_ / "fromOption").string(), "-c", "source kxOpt; kxOpt; source kxEnv; kxEnv"}, "",
            {"KX_SCRIPT_PATH=/nonexistent:" + (dir_ / "fromEnv").string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("opt\nenv\n"), std::string::npos) << r.out;
}

TEST_F(KxhostTest, PipedInputRunsAsOneText) {
    RunResult r = run({}, "window piped;\nwindow -ex piped;\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("// Result: 1 //"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("kxhost>"), std::string::npos);  // no prompt when stdin is not a terminal
}

TEST_F(KxhostTest, HelpAndBadOptions) {
    RunResult r = run({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("usage: kxhost"), std::string::npos);
    r = run({"--bogus"});
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.err.find("unknown option"), std::string::npos);
    r = run({"-c"});
    EXPECT_NE(r.code, 0);
}

TEST_F(KxhostTest, DemoSessionRuns) {
    RunResult r = run({std::string(KX_SOURCE_DIR) + "/examples/demo.mel"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("demo done"), std::string::npos) << r.out;
}
