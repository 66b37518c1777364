// The batch import example run by kxhost as a pipeline would run it: a list of files with a missing one
// and one that is no model, imported and reported; the deferred summary prints once the script is done.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "support/kxhost.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(ImportReportExample, ImportsTheListedFilesAndReportsEachOne) {
    char pattern[] = "/tmp/kx_import_report_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string models = "/usr/share/assimp/models/";
    std::ofstream(dir + "/list.txt") << "# the week's models\n"
                                     << models << "OBJ/box.obj\n\n"
                                     << dir << "/missing.obj\n"
                                     << "  " << models << "OBJ/SpiderTex.jpg  \n"
                                     << models << "PLY/cube.ply\n";
    ::setenv("KX_IMPORT_LIST", (dir + "/list.txt").c_str(), 1);
    ::setenv("KX_IMPORT_REPORT", (dir + "/reports/import.txt").c_str(), 1);
    int status = -1;
    std::string out =
        kxtest::runKxhost(std::string(KX_SOURCE_DIR) + "/examples/import_report.mel", status, dir);
    ::unsetenv("KX_IMPORT_LIST");
    ::unsetenv("KX_IMPORT_REPORT");
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out.find("Error"), std::string::npos) << out;

    // Timings vary; everything else is exact.
    const std::string report =
        std::regex_replace(readAll(dir + "/reports/import.txt"), std::regex("in \\d+ ms"), "in T ms");
    EXPECT_EQ(report,
              "box.obj: 1 mesh(es), 8 vertices, 6 faces in T ms\n"
              "missing.obj: missing, skipped\n"
              "SpiderTex.jpg: could not be imported, skipped\n"
              "cube.ply: 1 mesh(es), 8 vertices, 6 faces in T ms\n");
    // The deferred summary runs after the script's last statement.
    size_t written = out.find("report written to " + dir + "/reports/import.txt");
    size_t summary = out.find("imported 2, skipped 2 of 4 files (total ");
    ASSERT_NE(written, std::string::npos) << out;
    ASSERT_NE(summary, std::string::npos) << out;
    EXPECT_LT(written, summary);
    std::filesystem::remove_all(dir);
}

TEST(ImportReportExample, AMissingListFailsTheRunWithItsName) {
    ::setenv("KX_IMPORT_LIST", "/nonexistent/list.txt", 1);
    int status = -1;
    std::string out =
        kxtest::runKxhost(std::string(KX_SOURCE_DIR) + "/examples/import_report.mel", status, "/tmp");
    ::unsetenv("KX_IMPORT_LIST");
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("Cannot read the file list /nonexistent/list.txt"), std::string::npos) << out;
}
