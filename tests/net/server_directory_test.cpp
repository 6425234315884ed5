#include "net/server_directory.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "log_lines.h"
#include "loopback.h"
#include "net/net_manager.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

const char* const kNeverEnds = "<never ends>";

// A web host on 127.0.0.1 that answers each "GET url" line with the document stored
// for that url (an empty reply for unknown ones) and closes.
class FakeWeb {
public:
    void Set(const std::string& url, const std::string& document) {
        std::lock_guard<std::mutex> guard(mutex_);
        documents_[url] = document;
    }
    std::string Host() const { return "127.0.0.1:" + std::to_string(peer_.Port()); }
    std::vector<std::string> Requests() {
        std::lock_guard<std::mutex> guard(mutex_);
        return requests_;
    }

private:
    bool Serve(int peer) {
        // The request up to its line feed (which must be the last byte sent).
        std::string request;
        std::string byte;
        while (request.size() < 4096 && ReadExactly(peer, byte, 1) && byte != "\n") request += byte;
        std::lock_guard<std::mutex> guard(mutex_);
        requests_.push_back(request);
        const auto found = documents_.find(request.rfind("GET ", 0) == 0 ? request.substr(4) : std::string());
        const std::string document = found == documents_.end() ? std::string() : found->second;
        if (document == kNeverEnds) {
            WriteAll(peer, "partial");
            return true;  // held open: the rest never comes
        }
        WriteAll(peer, document);
        return false;
    }

    std::map<std::string, std::string> documents_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
    PeerThread peer_{[this](int socket) { return Serve(socket); }};  // last: its thread uses the rest
};

std::string List(const std::string& lines) { return "\nSTART_OF_LIST\n" + lines + "END_OF_LIST\n"; }

class ServerDirectoryTest : public testing::Test {
protected:
    ServerDirectoryTest() {
        net_.Startup();
        options_.config_file = dir_.File("kav.ini");
    }

    void WriteConfig(const std::string& refHost, const std::string& scrHost, const std::string& scrFile) {
        dir_.Write("kav.ini", "[General]\nPlayer1Name=P\n\n[NetSetup]\nRefHost=" + refHost +
                                  "\nRefFile=/kav.txt\nScrHost=" + scrHost + "\nScrFile=" + scrFile + "\n");
    }
    std::string Config(const std::string& key) {
        IniFile ini(options_.config_file);
        ini.Load();
        return ini.GetString("NetSetup", key);
    }
    bool HasLine(const std::string& line) { return ::HasLine(log_, line); }

    ReportCapture log_;
    TempDir dir_;
    NetManager net_;
    DirectoryOptions options_;
};

// The cached script is asked first. The reference file is read when there is no cache
// or the cached script sends no list at all, and the script it names is cached; a list
// the cached script got wrong keeps the cache, a second bad document clears it.
TEST_F(ServerDirectoryTest, TheListComesFromTheCachedScriptOrTheOneTheReferenceFileNames) {
    // In the expected requests, lines and cache, OLD stands for the cached script's url
    // and NEW for the one the reference file names.
    struct Case {
        const char* name;
        std::string cached;  // the cached script's document; empty: nothing is cached
        std::string named;   // the document of the script the reference file names
        size_t servers;      // 0: the fetch fails
        std::vector<std::string> requests;
        std::vector<std::string> lines;
        std::string cache;
    } const cases[] = {
        {"no cache",
         "",
         "HTTP/1.0 200 OK\nContent-Type: text/plain\n" + List("0.9b;127.0.0.1;4077;Alpha;first\n0.9c;h;1;Beta;x\n"),
         1,
         {"/kav.txt", "NEW"},
         {"srv   Document downloaded NEW", "srv   Number of servers: 1",
          "srv   Server with a different version \"0.9c\" was found:  0.9c;h;1;Beta;x"},
         "NEW"},
        {"cached",
         List("0.9b;127.0.0.1;4077;A;a\n0.9b;127.0.0.1;4078;B;b\n"),
         "",
         2,
         {"OLD"},
         {"srv   Using cashed script OLD"},
         "OLD"},
        {"stale cache",
         "<html>moved</html>",
         List("0.9b;127.0.0.1;4077;A;a\n"),
         1,
         {"OLD", "/kav.txt", "NEW"},
         {"srv E OLD does not have correct limiters"},
         "NEW"},
        {"second bad document",
         "no list",
         "no list either",
         0,
         {"OLD", "/kav.txt", "NEW"},
         {"srv E NEW does not have correct limiters"},
         ""},
        {"error reply", "\nERROR\n", "", 0, {"OLD"}, {"srv E OLD Returned error"}, "OLD"},
        {"empty host",
         List("0.9b;127.0.0.1;4077;A;a\n0.9b;;4077;B;b\n"),
         "",
         0,
         {"OLD"},
         {"srv E Has incorrect information structure  0.9b;;4077;B;b"},
         "OLD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log_.Clear();
        FakeWeb web;
        const std::string old = "http://" + web.Host() + "/old.pl";
        const std::string named = "http://" + web.Host() + "/cgi-bin/kav.pl";
        const auto fill = [&](std::string text) {
            if (text.find("OLD") != std::string::npos) text.replace(text.find("OLD"), 3, old);
            if (text.find("NEW") != std::string::npos) text.replace(text.find("NEW"), 3, named);
            return text;
        };
        web.Set("/kav.txt", web.Host() + "\ncgi-bin/kav.pl\n");
        web.Set(named, c.named);
        web.Set(old, c.cached);
        WriteConfig(web.Host(), c.cached.empty() ? "" : web.Host(), c.cached.empty() ? "" : old);

        ServerDirectory directory(net_, options_);
        EXPECT_EQ(directory.FetchServerList(), c.servers > 0);
        EXPECT_EQ(directory.Count(), c.servers);
        std::vector<std::string> requests;
        for (const std::string& request : c.requests) requests.push_back("GET " + fill(request));
        EXPECT_EQ(web.Requests(), requests);
        for (const std::string& line : c.lines) EXPECT_TRUE(HasLine(fill(line))) << log_.Joined();
        EXPECT_EQ(Config("ScrFile"), fill(c.cache));
        EXPECT_EQ(Config("ScrHost"), c.cache.empty() ? "" : web.Host());
        EXPECT_EQ(net_.ConnectionCount(), 0);
    }
}

TEST_F(ServerDirectoryTest, ADocumentThatNeverEndsIsGivenUp) {
    FakeWeb web;
    const std::string url = "http://" + web.Host() + "/list.pl";
    web.Set(url, kNeverEnds);
    WriteConfig("", web.Host(), url);
    int64_t now = 0;
    options_.clock = [&now] { return now += 1000; };
    options_.document_time_limit_ms = 5000;
    ServerDirectory directory(net_, options_);
    EXPECT_FALSE(directory.FetchServerList());
    EXPECT_TRUE(HasLine("srv E Document download timed out " + url)) << log_.Joined();
    EXPECT_EQ(net_.ConnectionCount(), 0);
}

// Connecting to a listed server itself is what the server list's e2e suite does.
TEST_F(ServerDirectoryTest, AnIndexPastTheListConnectsNowhere) {
    FakeWeb web;
    const std::string url = "http://" + web.Host() + "/list.pl";
    web.Set(url, List("0.9b;127.0.0.1;4077;Game;here\n"));
    WriteConfig("", web.Host(), url);
    ServerDirectory directory(net_, options_);
    ASSERT_TRUE(directory.FetchServerList());
    EXPECT_FALSE(directory.ConnectToServer(1));
    EXPECT_EQ(net_.ConnectionCount(), 0);
}

}  // namespace
