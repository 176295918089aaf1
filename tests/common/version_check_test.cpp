// The version check against a local HTTP server: the request, the release read from the
// reply, what each program shows, and the failures that stay silent.
#include "common/common_reset.h"
#include "common/messages.h"
#include "common/text_sjis.h"
#include "common/version_check.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/support/http_test_server.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class VersionCheckTest : public ::testing::Test {
protected:
    HttpTestServer server;
    char address[64];
    void SetUp() override {
        ASSERT_TRUE(platform_select("headless"));
        headless_backend_reset();
        common_reset_all();
        snprintf(address, sizeof address, "127.0.0.1/ver/melconv.txt");
    }
    void TearDown() override { http_test_server_stop(server); }
    VersionSite site(VersionProgram program, int port) {
        return VersionSite{address, port, program == VersionProgram::converter ? 124 : 139,
                           "http://product.test/", program};
    }
    // Serves `reply` once and runs the check of the program against it.
    void check(const std::string& reply, VersionProgram program) {
        server.reply = reply;
        ASSERT_TRUE(http_test_server_start(server));
        EXPECT_EQ(version_check_start(site(program, server.port)), 1);
        http_test_server_stop(server);
    }
};

TEST_F(VersionCheckTest, SendsOneHttp10Request) {
    check("HTTP/1.0 200 OK\r\n\r\n!124", VersionProgram::converter);
    EXPECT_EQ(server.request,
              "GET /ver/melconv.txt HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(server.port) +
                  "\r\nUser-Agent: Mozilla/4.0\r\n\r\n");
    EXPECT_EQ(g_headless.last_lookup, HostLookup::by_address);
}

TEST_F(VersionCheckTest, ConverterSpeaksOnlyOfANewerRelease) {
    struct Case {
        const char* reply;
        int release;
        bool offered;
    };
    const Case cases[] = {
        {"page text !125 more", 125, true},
        {"!124", 124, false},
        {"!0", 0, false},
        {"no mark at all", 0, false},
        {"!abc", 0, false},
        {"!99999", 9999, true}, // the number is cut 5 characters after the '!'
    };
    for (const Case& c : cases) {
        SetUp();
        check(c.reply, VersionProgram::converter);
        EXPECT_EQ(g_version_check.server_release, c.release) << c.reply;
        EXPECT_EQ(g_headless.messages.size(), c.offered ? 1u : 0u) << c.reply;
        EXPECT_EQ(g_headless.opened_documents.size(), c.offered ? 1u : 0u) << c.reply;
        if (c.offered) {
            EXPECT_EQ(sjis_to_utf8(g_headless.messages[0].text),
                      "新しいバージョンがダウンロードできます。\r\n");
            EXPECT_EQ(g_headless.opened_documents[0], "http://product.test/");
        }
        server = HttpTestServer{};
    }
}

TEST_F(VersionCheckTest, SequencerReportsEitherWay) {
    g_headless.language = UiLanguage::english;
    check("!140", VersionProgram::sequencer);
    ASSERT_EQ(g_headless.questions.size(), 1u);
    EXPECT_EQ(g_headless.questions[0].text, "Finding new version. download?");
    EXPECT_EQ(g_headless.questions[0].caption, "CONFIRM");
    EXPECT_TRUE(g_headless.opened_documents.empty()); // answered No

    for (const char* reply : {"!139", "!0"}) {
        SetUp();
        server = HttpTestServer{};
        g_headless.language = UiLanguage::japanese;
        check(reply, VersionProgram::sequencer);
        ASSERT_EQ(g_headless.messages.size(), 1u) << reply;
        EXPECT_EQ(sjis_to_utf8(g_headless.messages[0].text), "このバージョンは最新版です。");
        EXPECT_EQ(sjis_to_utf8(g_headless.messages[0].caption), "確認");
    }
}

TEST_F(VersionCheckTest, ReplyArrivingInPiecesIsReadWhole) {
    // The number stands in the first piece; the last piece alone holds no "!".
    server.mode = HttpServerMode::reply_in_halves;
    check("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nrelease !125 of the converter, "
          "with notes on what changed since the last one",
          VersionProgram::converter);
    EXPECT_EQ(g_version_check.server_release, 125);
}

TEST_F(VersionCheckTest, NumberAtTheEndOfALongPageIsRead) {
    // More than one read's worth of page before the number: reading goes on to the close,
    // and what is examined is the last 5,000 bytes, so a mark far behind them is gone.
    const std::string page(6000, 'p');
    for (const std::string& body : {page + "!125", "!99 " + page + "!125"}) {
        SetUp();
        server = HttpTestServer{};
        check("HTTP/1.0 200 OK\r\n\r\n" + body, VersionProgram::converter);
        EXPECT_EQ(g_version_check.server_release, 125) << body.size();
        EXPECT_EQ(g_headless.messages.size(), 1u) << body.size();
    }
}

TEST_F(VersionCheckTest, ServerClosingEarlyReadsAsNoNumber) {
    server.mode = HttpServerMode::close_early;
    check("", VersionProgram::converter);
    EXPECT_EQ(g_version_check.server_release, 0); // the buffer's initial "!0"
    EXPECT_TRUE(g_headless.messages.empty());
}

TEST_F(VersionCheckTest, RefusedConnectionIsSilent) {
    EXPECT_EQ(version_check_start(site(VersionProgram::sequencer, closed_local_port())), 1);
    EXPECT_EQ(g_version_check.server_release, -1);
    EXPECT_TRUE(g_headless.messages.empty());
    EXPECT_TRUE(g_headless.questions.empty());
}

TEST_F(VersionCheckTest, NoNetworkMeansNotStarted) {
    g_headless.network_up = false;
    EXPECT_EQ(version_check_start(site(VersionProgram::converter, 80)), 0);
    EXPECT_EQ(g_version_check.server_release, -1);
}

TEST_F(VersionCheckTest, AddressSplitsAtTheFirstSlash) {
    struct Case {
        const char* address;
        const char* host;
        const char* path;
    };
    const Case cases[] = {{"example.test/a/b.txt", "example.test", "/a/b.txt"},
                          {"example.test", "example.test", "/"},
                          {"example.test/", "example.test", "/"}};
    for (const Case& c : cases) {
        char host[VERSION_ADDRESS_PART];
        char path[VERSION_ADDRESS_PART];
        version_address_split(c.address, host, path);
        EXPECT_STREQ(host, c.host);
        EXPECT_STREQ(path, c.path);
    }
}

TEST_F(VersionCheckTest, HostNamesAreLookedUpByName) {
    snprintf(address, sizeof address, "localhost/v.txt");
    check("!1", VersionProgram::converter);
    EXPECT_EQ(g_headless.last_lookup, HostLookup::by_name);
    EXPECT_EQ(g_version_check.server_release, 1);
}

} // namespace
