#include "server/directory.h"

#include <gtest/gtest.h>

#include "support/report_capture.h"

namespace {

DirectoryRequest Parsed(const std::string& text) {
    DirectoryRequest request;
    EXPECT_EQ(ParseDirectoryRequest(text, request), RequestStatus::kComplete) << text;
    return request;
}

// The lines between the list markers, as a client reads them.
std::vector<std::string> Listed(const std::string& document) {
    const std::string start = "\nSTART_OF_LIST\n";
    const size_t from = document.find(start);
    const size_t to = document.find("\nEND_OF_LIST\n", from + start.size() - 1);
    EXPECT_NE(from, std::string::npos);
    EXPECT_NE(to, std::string::npos);
    std::vector<std::string> lines;
    for (size_t at = from + start.size(); at < to + 1;) {
        const size_t end = document.find('\n', at);
        lines.push_back(document.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

class DirectoryTest : public ::testing::Test {
protected:
    DirectoryTest() : directory(Settings()) {}
    static DirectorySettings Settings() {
        DirectorySettings settings;
        settings.publicAddress = "dir.example:8080";
        settings.staticServers = {"0.9b;fixed.example;4077;Fixed;Always there;"};
        return settings;
    }
    DirectoryReply Say(const std::string& text, const std::string& peer = "127.0.0.7") {
        return directory.Handle(Parsed(text), peer, now);
    }

    ReportCapture log;
    Directory directory;
    int64_t now = 5000;
};

TEST_F(DirectoryTest, RequestsCompleteAtTheirLineOrAtTheEmptyLineOfHttp) {
    const struct {
        const char* text;
        RequestStatus status;
        const char* path;
        bool http;
    } cases[] = {
        {"GET /cgi-bin/kav.pl", RequestStatus::kIncomplete, "", false},
        {"GET /cgi-bin/kav.pl\n", RequestStatus::kComplete, "/cgi-bin/kav.pl", false},
        {"GET http://dir.example/cgi-bin/kav.pl?x=1\n", RequestStatus::kComplete, "/cgi-bin/kav.pl", false},
        {"GET kav.txt\r\n", RequestStatus::kComplete, "/kav.txt", false},
        {"GET /kav.txt HTTP/1.1\r\nHost: a\r\n", RequestStatus::kIncomplete, "/kav.txt", true},
        {"GET /kav.txt HTTP/1.1\r\nHost: a\r\n\r\n", RequestStatus::kComplete, "/kav.txt", true},
        {"GET /kav.txt HTTP/1.0\n\n", RequestStatus::kComplete, "/kav.txt", true},
        {"GET /kav.txt SMTP\n", RequestStatus::kBad, "", false},
        {"\n", RequestStatus::kBad, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        DirectoryRequest request;
        EXPECT_EQ(ParseDirectoryRequest(c.text, request), c.status);
        if (c.status == RequestStatus::kComplete) {
            EXPECT_EQ(request.path, c.path);
            EXPECT_EQ(request.http, c.http);
        }
    }
    DirectoryRequest request;
    EXPECT_EQ(ParseDirectoryRequest(std::string(kMaxDirectoryRequest, 'x'), request), RequestStatus::kBad);
}

TEST_F(DirectoryTest, ServesBothDocumentsBareOrOverHttpAndErrorsOtherwise) {
    EXPECT_EQ(Say("GET /kav.txt\n").bytes, "dir.example:8080\ncgi-bin/kav.pl\n");
    EXPECT_EQ(Listed(Say("GET /cgi-bin/kav.pl\n").bytes),
              std::vector<std::string>{"0.9b;fixed.example;4077;Fixed;Always there;"});
    const std::string http = Say("GET /kav.txt HTTP/1.1\r\n\r\n").bytes;
    EXPECT_EQ(http.rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
    EXPECT_NE(http.find("\r\nContent-Length: 32\r\n"), std::string::npos);
    EXPECT_EQ(http.substr(http.size() - 32), "dir.example:8080\ncgi-bin/kav.pl\n");

    EXPECT_EQ(Say("GET /index.html\n").bytes, "\nERROR\n");
    EXPECT_EQ(Say("POST /cgi-bin/kav.pl\n").bytes, "\nERROR\n");
    EXPECT_EQ(Say("GET /index.html HTTP/1.0\n\n").bytes.rfind("HTTP/1.0 404 Not Found\r\n", 0), 0u);
    EXPECT_EQ(Say("ANNOUNCE 99999;a;b;c\n").bytes, "\nERROR\n");
    EXPECT_EQ(Say("ANNOUNCE 4077;too few\n").bytes, "\nERROR\n");
}

TEST_F(DirectoryTest, AnAnnouncedServerIsListedOnlyOnceItsPingAnswered) {
    const DirectoryReply reply = Say("ANNOUNCE 4077;Night races;Fast;2/4\n");
    EXPECT_EQ(reply.bytes, "OK\n");
    ASSERT_TRUE(reply.check.has_value());
    EXPECT_EQ(*reply.check, std::make_pair(std::string("127.0.0.7"), 4077));
    EXPECT_EQ(directory.ListedCount(), 1u);  // the static line only
    directory.Reached("127.0.0.7", 4077);
    EXPECT_EQ(Listed(directory.ListDocument()).back(), "0.9b;127.0.0.7;4077;Night races;Fast;2/4");
    // A renewal of a reached server needs no second ping and updates the text.
    now += 15000;
    EXPECT_FALSE(Say("ANNOUNCE 4077;Night races;Fast;3/6\n").check.has_value());
    EXPECT_EQ(Listed(directory.ListDocument()).back(), "0.9b;127.0.0.7;4077;Night races;Fast;3/6");
}

TEST_F(DirectoryTest, EntriesExpireUnlessRenewedAndGoAtWithdrawal) {
    Say("ANNOUNCE 4077;A;a;0/0\n");
    Say("ANNOUNCE 4078;B;b;0/0\n");
    directory.Reached("127.0.0.7", 4077);
    directory.Reached("127.0.0.7", 4078);
    EXPECT_EQ(directory.ListedCount(), 3u);
    now += 30000;
    Say("ANNOUNCE 4078;B;b;1/2\n");
    now += 15000;
    directory.Expire(now);
    EXPECT_EQ(directory.ListedCount(), 2u);
    EXPECT_TRUE(log.Contains("Server 127.0.0.7:4077 was not renewed and is dropped"));
    // Only the announcing address withdraws its own entry.
    Say("WITHDRAW 4078\n", "127.0.3.1");
    EXPECT_EQ(directory.ListedCount(), 2u);
    Say("WITHDRAW 4078\n");
    EXPECT_EQ(directory.ListedCount(), 1u);
}

TEST_F(DirectoryTest, AnnouncedTextCannotBreakTheListFormat) {
    Say("ANNOUNCE 4077;a;b;c;d\n");
    directory.Reached("127.0.0.7", 4077);
    EXPECT_EQ(Listed(directory.ListDocument()).back(), "0.9b;127.0.0.7;4077;a;b;c,d");
}

}  // namespace
