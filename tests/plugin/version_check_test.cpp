// The version check against a local HTTP server: same version, newer version, an error page, no server,
// pages with and without a length; on demand (every outcome reported) and in the quiet form used at load.
#include "platform/test_http_server.h"
#include "plugin/versionCheck.h"
#include "plugin_fixture.h"

namespace {

using kxtest::httpResponse;
using kxtest::TestHttpServer;

using VersionCheckTest = PluginTest;

TEST_F(VersionCheckTest, EveryOutcomeOnDemandAndAllButUpToDateQuietly) {
    TestHttpServer server(httpResponse("1.11\n"));
    ASSERT_TRUE(server.ok());
    server.setResponse("/newer.txt", httpResponse("1.12"));
    server.setResponse("/gone.txt", httpResponse("1.11", "404 Not Found"));
    // Without a length the page is read to its end; trailing text after the version does not matter.
    server.setResponse("/nolength.txt", httpResponse("1.11 released", "200 OK", false));
    // A length shorter than the version cuts it: "1.1" is another version.
    server.setResponse("/cut.txt", "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\n1.11");
    server.setResponse("/empty.txt", httpResponse(""));
    const std::string closed = "http://127.0.0.1:" + std::to_string(TestHttpServer::closedPort()) + "/v.txt";

    struct Row {
        std::string url;
        const char* title;  // on demand; the quiet form shows the same but for "Up To Date!"
    };
    const Row rows[] = {
        {server.url("/version.txt"), "Up To Date!"},  {server.url("/newer.txt"), "New Version!"},
        {server.url("/gone.txt"), "Sorry!"},          {closed, "Sorry!"},
        {server.url("/nolength.txt"), "Up To Date!"}, {server.url("/cut.txt"), "New Version!"},
        {server.url("/empty.txt"), "New Version!"}};
    for (const Row& row : rows) {
        for (bool onDemand : {true, false}) {
            SCOPED_TRACE(row.url + (onDemand ? " on demand" : " quiet"));
            kxh::session().reset();
            ScopedEnv redirect("KXH_URL_REDIRECT", std::string(kDefaultVersionPage) + "=" + row.url);
            if (onDemand)
                mel("kxSetCommands -ms \"checkForUpdates\"");
            else
                runVersionCheck(false);
            if (!onDemand && std::string(row.title) == "Up To Date!") {
                EXPECT_TRUE(dialogs().empty());
                continue;
            }
            ASSERT_EQ(dialogs().size(), 1u);
            EXPECT_EQ(dialogs()[0].title, row.title);
            EXPECT_EQ(dialogs()[0].buttons, std::vector<std::string>{"Ok"});
        }
    }
    // The page was asked for by the plug-in's agent.
    ASSERT_FALSE(server.requests().empty());
    EXPECT_NE(server.requests()[0].find("User-Agent: KestrixTools\r\n"), std::string::npos);

    // The host's address map also sends the built-in page on by its prefix, past entries that do not match.
    kxh::session().reset();
    ScopedEnv prefix(
        "KXH_URL_REDIRECT",
        "http://unused.invalid/=http://127.0.0.1:1/,http://www.kestrixtools.com/=" + server.url("/"));
    runVersionCheck(true);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].title, "Up To Date!");
}

}  // namespace
