// The version check against a local HTTP server: same version, newer version, an error page, no server;
// on demand through kxSetCommands (every outcome reported) and in the quiet form used at load.
#include <cstdlib>

#include "platform/test_http_server.h"
#include "plugin/versionCheck.h"
#include "plugin_fixture.h"

namespace {

using kxtest::httpResponse;
using kxtest::TestHttpServer;

// Points the version check at a URL for the scope of a test.
class VersionPage {
public:
    explicit VersionPage(const std::string& url)
        : redirect_("KXH_URL_REDIRECT", std::string(kDefaultVersionPage) + "=" + url) {}

private:
    ScopedEnv redirect_;
};

class VersionCheckTest : public PluginTest {
protected:
    // The one dialog shown (title, message), checked for its single "Ok" button, and its line in the log.
    void expectOneDialog(const std::string& title, const std::string& message) {
        ASSERT_EQ(dialogs().size(), 1u);
        const kxh::ui::DialogRecord& d = dialogs()[0];
        EXPECT_EQ(d.command, "confirmDialog");
        EXPECT_EQ(d.title, title);
        EXPECT_EQ(d.message, message);
        EXPECT_EQ(d.buttons, std::vector<std::string>{"Ok"});
        EXPECT_EQ(d.defaultButton, "Ok");
        EXPECT_TRUE(kxh::output().contains(kxh::OutputKind::Info,
                                           "confirmDialog: " + title + " | " + message + " | [Ok]"));
    }
    static void clearDialogs() {
        kxh::session().reset();
        kxh::output().clear();
    }
};

TEST_F(VersionCheckTest, OnDemandReportsEveryOutcome) {
    TestHttpServer server(httpResponse("1.11\n"));
    ASSERT_TRUE(server.ok());
    server.setResponse("/newer.txt", httpResponse("1.12"));
    server.setResponse("/gone.txt", httpResponse("1.11", "404 Not Found"));

    {
        VersionPage page(server.url("/version.txt"));
        mel("kxSetCommands -ms \"checkForUpdates\"");
        expectOneDialog("Up To Date!", "You are up to date.");
        // The page was asked for by the plug-in's agent.
        ASSERT_EQ(server.requests().size(), 1u);
        EXPECT_NE(server.requests()[0].find("User-Agent: KestrixTools\r\n"), std::string::npos);
    }
    clearDialogs();
    {
        VersionPage page(server.url("/newer.txt"));
        mel("kxSetCommands -ms \"checkForUpdates\"");
        expectOneDialog("New Version!", "There is a new version of Kestrix Tools.");
    }
    clearDialogs();
    {
        VersionPage page(server.url("/gone.txt"));
        mel("kxSetCommands -ms \"checkForUpdates\"");
        expectOneDialog("Sorry!", "Maya cannot connect to the internet.");
    }
    clearDialogs();
    {
        VersionPage page("http://127.0.0.1:" + std::to_string(TestHttpServer::closedPort()) + "/version.txt");
        mel("kxSetCommands -ms \"checkForUpdates\"");
        expectOneDialog("Sorry!", "Maya cannot connect to the internet.");
    }
}

TEST_F(VersionCheckTest, OnlyTheFirstFourCharactersOfThePageCount) {
    TestHttpServer server(httpResponse("1.11"));
    ASSERT_TRUE(server.ok());
    // Without a length the page is read to its end; trailing text after the version does not matter.
    server.setResponse("/nolength.txt", httpResponse("1.11 released", "200 OK", false));
    // A length shorter than the version cuts it: "1.1" is another version.
    server.setResponse("/cut.txt", "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\n1.11");
    server.setResponse("/empty.txt", httpResponse(""));

    struct Case {
        const char* path;
        const char* title;
    };
    for (const Case& c : {Case{"/nolength.txt", "Up To Date!"}, Case{"/cut.txt", "New Version!"},
                          Case{"/empty.txt", "New Version!"}}) {
        SCOPED_TRACE(c.path);
        clearDialogs();
        VersionPage page(server.url(c.path));
        runVersionCheck(true);
        ASSERT_EQ(dialogs().size(), 1u);
        EXPECT_EQ(dialogs()[0].title, c.title);
    }
}

TEST_F(VersionCheckTest, TheQuietFormLeavesOutOnlyUpToDate) {
    TestHttpServer server(httpResponse("1.11"));
    ASSERT_TRUE(server.ok());
    server.setResponse("/newer.txt", httpResponse("2.00"));
    {
        VersionPage page(server.url("/version.txt"));
        runVersionCheck(false);
        EXPECT_TRUE(dialogs().empty());
        EXPECT_EQ(server.requests().size(), 1u);
    }
    {
        VersionPage page(server.url("/newer.txt"));
        runVersionCheck(false);
        ASSERT_EQ(dialogs().size(), 1u);
        EXPECT_EQ(dialogs()[0].title, "New Version!");
    }
    clearDialogs();
    {
        VersionPage page("http://127.0.0.1:" + std::to_string(TestHttpServer::closedPort()) + "/");
        runVersionCheck(false);
        ASSERT_EQ(dialogs().size(), 1u);
        EXPECT_EQ(dialogs()[0].title, "Sorry!");
    }
}

TEST_F(VersionCheckTest, TheHostMapsTheBuiltInPageByItsPrefix) {
    // The host's address map sends the built-in page to the loopback server by its prefix.
    TestHttpServer server(httpResponse("1.11"));
    ASSERT_TRUE(server.ok());
    ScopedEnv redirect(
        "KXH_URL_REDIRECT",
        "http://unused.invalid/=http://127.0.0.1:1/,http://www.kestrixtools.com/=" + server.url("/"));
    clearDialogs();
    runVersionCheck(true);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].title, "Up To Date!");
    ASSERT_EQ(server.requests().size(), 1u);
}

}  // namespace
