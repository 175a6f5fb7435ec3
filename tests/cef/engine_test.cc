// Start-up of the library against the installed engine: each case runs the probe program, which
// initialises the library in a process of its own.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

#include "base/utf.h"
#include "cef/cef_string.h"
#include "linux_processes.h"
#include "probe_process.h"

namespace cef_test {

using namespace korvex_test;

namespace {

// The value at pointer in j, or null when j has none there.
Json At(const Json& j, const std::string& pointer) {
    const Json::json_pointer p(pointer);
    return j.is_object() && j.contains(p) ? j.at(p) : Json();
}

std::string StringAt(const Json& j, const std::string& pointer) {
    const Json v = At(j, pointer);
    return v.is_string() ? v.get<std::string>() : std::string();
}

std::wstring FreshProfile(const wchar_t* name) {
    const std::wstring dir = RunDir() + L"\\" + name + L"-" + std::to_wstring(GetTickCount64());
    return dir;
}

// Index of needle in haystack at or after from, or npos.
std::size_t FindFrom(const std::vector<std::string>& haystack, const std::string& needle,
                     std::size_t from) {
    for (std::size_t i = from; i < haystack.size(); ++i)
        if (haystack[i] == needle) return i;
    return std::string::npos;
}

TEST(EngineStart, NoEngineReportsFailureAndNothingRuns) {
    for (const wchar_t* missing : {L"KORVEX_BROWSER_ENGINE=/nonexistent/chromium",
                                   L"KORVEX_BROWSER_ENGINE=C:\\nowhere\\chrome.exe"}) {
        SCOPED_TRACE(CefString(missing).ToString());
        ProbeProcess probe({L"--profile=" + FreshProfile(L"none")}, {missing});
        ASSERT_TRUE(probe.started()) << "error " << probe.start_error();
        EXPECT_EQ(probe.hello().value("initialized", true), false);
        const Json info = probe.Command({{"cmd", "info"}});
        EXPECT_EQ(info.value("connection", true), false);
        EXPECT_EQ(info.value("engine_pid", 1ul), 0ul);
        // No library threads run: tasks are refused, nobody is on TID_UI.
        const Json threads = probe.Command({{"cmd", "threads"}});
        EXPECT_TRUE(At(threads, "/ui").is_null());
        EXPECT_TRUE(At(threads, "/io").is_null());
        EXPECT_EQ(threads.value("main_on_ui", true), false);
        EXPECT_EQ(probe.Command({{"cmd", "exit"}}).value("exiting", false), true);
        EXPECT_TRUE(probe.WaitForExit(20000));
    }
}

// A program of the given shell script, made executable in this run's folder; its Unix path.
std::string EngineScript(const std::string& name, const std::string& body) {
    const std::string path = UnixPath(RunDir()) + "/" + name;
    RunShell("printf '#!/bin/sh\\n%s\\n' '" + body + "' > '" + path + "' && chmod +x '" + path +
             "'");
    return path;
}

std::wstring EngineVariable(const std::string& unix_path) {
    return L"KORVEX_BROWSER_ENGINE=" + korvex::Utf8ToWide(unix_path);
}

// Pumps nothing: the probe runs its own threads; this only waits for a condition.
bool WaitUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(100);
    }
    return true;
}

TEST(EngineStart, ProgramThatIsNoBrowserNeverBecomesReady) {
    ProbeProcess probe({L"--profile=" + FreshProfile(L"true"), L"--browser-at-start=about:blank"},
                       {L"KORVEX_BROWSER_ENGINE=/bin/true"});
    ASSERT_TRUE(probe.started()) << "error " << probe.start_error();
    // The program starts, so the library does; the handshake then fails.
    EXPECT_EQ(probe.hello().value("initialized", false), true);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return probe.Command({{"cmd", "info"}}).value("engine_state", "") == "failed";
        },
        std::chrono::seconds(30)));
    const Json info = probe.Command({{"cmd", "info"}});
    EXPECT_EQ(info.value("connection", true), false);
    // Browsers asked for before or after are never made; asking after the failure says so.
    EXPECT_EQ(probe.Command({{"cmd", "browser"}, {"url", "about:blank"}}).value("requested", true),
              false);
    EXPECT_EQ(probe.Command({{"cmd", "browsers"}}).value("created", -1), 0);
}

TEST(EngineStart, ReturnsBeforeTheEngineAnswersAndMakesWaitingBrowsersOnceItDoes) {
    // An engine that takes four seconds before it starts listening.
    const std::string slow = EngineScript("slow-engine", "sleep 4; exec /usr/bin/chromium \"$@\"");
    ProbeProcess probe({L"--profile=" + FreshProfile(L"slow"), L"--browser-at-start=about:blank"},
                       {EngineVariable(slow)});
    ASSERT_TRUE(probe.hello().value("initialized", false)) << probe.hello().dump();
    EXPECT_EQ(probe.hello().value("state_at_return", ""), "starting");
    EXPECT_EQ(probe.hello().value("browser_requested", false), true);
    EXPECT_EQ(probe.Command({{"cmd", "browsers"}}).value("created", -1), 0);
    // Once the engine answers, the browser asked for at start is made, and later ones too.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return probe.Command({{"cmd", "browsers"}}).value("created", 0) == 1;
        },
        std::chrono::seconds(60)));
    EXPECT_EQ(probe.Command({{"cmd", "info"}}).value("engine_state", ""), "ready");
    EXPECT_EQ(probe.Command({{"cmd", "browser"}, {"url", "about:blank"}}).value("requested", false),
              true);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return probe.Command({{"cmd", "browsers"}}).value("created", 0) == 2;
        },
        std::chrono::seconds(60)));
}

TEST(EngineStart, AnEngineThatNeverAnswersHoldsNothingUp) {
    const std::string silent = EngineScript("silent-engine", "exec sleep 600");
    ProbeProcess probe({L"--profile=" + FreshProfile(L"silent"), L"--browser-at-start=about:blank"},
                       {EngineVariable(silent)});
    ASSERT_TRUE(probe.hello().value("initialized", false)) << probe.hello().dump();
    EXPECT_EQ(probe.hello().value("state_at_return", ""), "starting");
    // The probe's main thread keeps answering while the engine stays silent; nothing is made.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(probe.Command({{"cmd", "info"}}).value("engine_state", ""), "starting");
        Sleep(500);
    }
    EXPECT_EQ(probe.Command({{"cmd", "browsers"}}).value("created", -1), 0);
    const unsigned long engine = probe.engine_pid();
    ASSERT_NE(engine, 0ul);
    EXPECT_TRUE(IsRunning(engine));
    // Leaving ends the silent engine like any other.
    EXPECT_EQ(probe.Command({{"cmd", "exit"}}).value("exiting", false), true);
    ASSERT_TRUE(probe.WaitForExit(20000));
    EXPECT_TRUE(WaitUntilGone({engine}, std::chrono::seconds(20)));
}

TEST(EngineStart, AnswersOverTheConnection) {
    ProbeProcess probe({L"--profile=" + FreshProfile(L"version")});
    ASSERT_TRUE(probe.hello().value("initialized", false)) << probe.hello().dump();
    const Json version = probe.Command({{"cmd", "call"}, {"method", "Browser.getVersion"}});
    EXPECT_NE(StringAt(version, "/result/product").find("Chrome/"), std::string::npos)
        << version.dump();
    EXPECT_EQ(StringAt(version, "/result/protocolVersion"), "1.3");
    // An unknown method is reported as a protocol error, and the connection stays usable.
    const Json bad = probe.Command({{"cmd", "call"}, {"method", "Nothing.here"}});
    EXPECT_TRUE(bad.contains("error")) << bad.dump();
    EXPECT_EQ(bad.value("code", 0), -32601);
    EXPECT_TRUE(
        At(probe.Command({{"cmd", "call"}, {"method", "Target.getTargets"}}), "/result/targetInfos")
            .is_array());
}

TEST(EngineStart, CommandLineEntriesReachTheEngineInOrderAndProfileIsCachePath) {
    const std::wstring profile = FreshProfile(L"cmdline");
    ProbeProcess probe({L"--profile=" + profile, L"--arg=--ignore-certificate-errors",
                        L"--arg=--ignore-ssl-errors",
                        L"--switch-value=--ppapi-flash-path=pepperflash/pepflashplayer.dll",
                        L"--switch-value=--ppapi-flash-version=23.0.0.162",
                        L"--switch=korvex-test-switch"});
    ASSERT_TRUE(probe.hello().value("initialized", false)) << probe.hello().dump();
    ASSERT_NE(probe.engine_pid(), 0ul);
    const auto cmdline = CommandLine(probe.engine_pid());
    ASSERT_FALSE(cmdline.empty());
    std::size_t at = 0;
    for (const std::string expected :
         {"--ignore-certificate-errors", "--ignore-ssl-errors",
          "--ppapi-flash-path=pepperflash/pepflashplayer.dll", "--ppapi-flash-version=23.0.0.162",
          "--korvex-test-switch"}) {
        at = FindFrom(cmdline, expected, at);
        ASSERT_NE(at, std::string::npos) << expected << " missing or out of order";
    }
    // The profile is the cache path; the engine fills it.
    const std::string profile_unix = UnixPath(profile);
    EXPECT_NE(FindFrom(cmdline, "--user-data-dir=" + profile_unix, 0), std::string::npos);
    EXPECT_NE(FindFrom(cmdline, "--remote-debugging-pipe", 0), std::string::npos);
    EXPECT_EQ(FindFrom(cmdline, "--remote-debugging-port", 0), std::string::npos);
    // The engine makes the profile's folders in its own time after it answers.
    auto exists = [&](const wchar_t* name) {
        return GetFileAttributesW((profile + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    const auto deadline = GetTickCount64() + 30000;
    while (!(exists(L"Local State") && exists(L"Default")) && GetTickCount64() < deadline)
        Sleep(100);
    EXPECT_TRUE(exists(L"Local State"));
    EXPECT_TRUE(exists(L"Default"));
}

// Started from the entry point, or during static initialisation as the launcher does.
class EngineThreads : public ::testing::TestWithParam<bool> {};

TEST_P(EngineThreads, TasksRunOnTheLibraryThreads) {
    std::vector<std::wstring> args = {L"--profile=" + FreshProfile(L"threads")};
    if (GetParam()) args.push_back(L"--init-in-static");
    ProbeProcess probe(args);
    ASSERT_TRUE(probe.hello().value("initialized", false)) << probe.hello().dump();
    // A call waits until the engine has answered; OnContextInitialized is then on its way.
    probe.Command({{"cmd", "call"}, {"method", "Browser.getVersion"}});
    const Json t = probe.Command({{"cmd", "threads"}});
    EXPECT_EQ(At(t, "/main_on_ui"), false);
    EXPECT_EQ(At(t, "/main_on_io"), false);
    EXPECT_EQ(At(t, "/ui/on_ui"), true);
    EXPECT_EQ(At(t, "/ui/on_io"), false);
    EXPECT_EQ(At(t, "/io/on_io"), true);
    EXPECT_EQ(At(t, "/io/on_ui"), false);
    EXPECT_NE(At(t, "/ui/thread"), At(t, "/main_thread"));
    EXPECT_NE(At(t, "/io/thread"), At(t, "/ui/thread"));
    const Json info = probe.Command({{"cmd", "info"}});
    EXPECT_EQ(At(info, "/command_line_on_main"), true);
    EXPECT_EQ(At(info, "/context_on_ui"), true);  // Asked after a round trip through TID_UI.
    // The probe holds one reference, the library another for the life of the process.
    EXPECT_EQ(At(info, "/app_refs_one"), false);
}

INSTANTIATE_TEST_SUITE_P(StartedFrom, EngineThreads, ::testing::Values(false, true),
                         [](const auto& info) {
                             return std::string(info.param ? "StaticInitialisation" : "EntryPoint");
                         });

// A TCP port on loopback that nothing listens on right now.
int FreePort() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    int len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    closesocket(s);
    return ntohs(a.sin_port);
}

bool Accepts(int port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<u_short>(port));
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    closesocket(s);
    return ok;
}

// `openssl s_server -www` with a fresh self-signed certificate; ended by the destructor.
class SelfSignedServer {
  public:
    SelfSignedServer() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        dir_ = UnixPath(FreshProfile(L"tls"));
        port_ = FreePort();
        RunShell("mkdir -p '" + dir_ + "' && cd '" + dir_ +
                 "' && openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=localhost"
                 " -keyout key.pem -out cert.pem -days 1 >/dev/null 2>&1 && { (echo $$ > pid;"
                 " exec openssl s_server -accept 127.0.0.1:" +
                 std::to_string(port_) +
                 " -cert cert.pem -key key.pem -www) </dev/null >/dev/null 2>&1 & }");
        for (int i = 0; i < 200 && !Accepts(port_); ++i) Sleep(50);
        const auto pids = FindByCommandLine("127.0.0.1:" + std::to_string(port_));
        pids_.assign(pids.begin(), pids.end());
    }
    ~SelfSignedServer() {
        KillAll(pids_);
        WaitUntilGone(pids_, std::chrono::seconds(10));
        WSACleanup();
    }
    int port() const { return port_; }
    bool running() const { return !pids_.empty() && Accepts(port_); }

  private:
    std::string dir_;
    int port_ = 0;
    std::vector<unsigned long> pids_;
};

// Opens address in a new page target and returns the text of its body once loaded.
std::string PageText(ProbeProcess& probe, const std::string& address) {
    const Json target = probe.Command(
        {{"cmd", "call"}, {"method", "Target.createTarget"}, {"params", {{"url", address}}}});
    const std::string target_id = StringAt(target, "/result/targetId");
    const Json attach = probe.Command({{"cmd", "call"},
                                       {"method", "Target.attachToTarget"},
                                       {"params", {{"targetId", target_id}, {"flatten", true}}}});
    const std::string session = StringAt(attach, "/result/sessionId");
    std::string text;
    for (int i = 0; i < 100 && text.empty(); ++i) {
        // Fails while a navigation replaces the document; then the next try asks again.
        const Json r = probe.Command({{"cmd", "call"},
                                      {"method", "Runtime.evaluate"},
                                      {"session", session},
                                      {"params",
                                       {{"expression",
                                         "document.readyState == 'complete' && document.body ? "
                                         "document.body.innerText : ''"},
                                        {"returnByValue", true}}}});
        text = StringAt(r, "/result/result/value");
        if (text.empty()) Sleep(100);
    }
    return text;
}

struct CertificateCase {
    const wchar_t* name;
    std::vector<std::wstring> args;
    bool page_shown;
};

TEST(EngineStart, CertificateSwitchTakesEffect) {
    SelfSignedServer server;
    ASSERT_TRUE(server.running());
    const std::string address = "https://127.0.0.1:" + std::to_string(server.port()) + "/";
    const CertificateCase cases[] = {
        {L"appended argument", {L"--arg=--ignore-certificate-errors"}, true},
        {L"setting", {L"--ignore-certificate-errors"}, true},
        {L"neither", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CefString(c.name).ToString());
        std::vector<std::wstring> args = c.args;
        args.push_back(L"--profile=" + FreshProfile(L"cert"));
        ProbeProcess probe(args);
        ASSERT_TRUE(probe.hello().value("initialized", false)) << probe.hello().dump();
        const std::string text = PageText(probe, address);
        EXPECT_FALSE(text.empty());
        // s_server -www answers with a status page naming itself.
        EXPECT_EQ(text.find("s_server") != std::string::npos, c.page_shown) << text.substr(0, 300);
    }
}

enum class Ending { kNormalExit, kTerminateProcess, kKill9 };

class EngineLifetime : public ::testing::TestWithParam<Ending> {};

TEST_P(EngineLifetime, NoEngineProcessOutlivesTheApplication) {
    ProbeProcess probe({L"--profile=" + FreshProfile(L"life")});
    ASSERT_TRUE(probe.hello().value("initialized", false)) << probe.hello().dump();
    // A page makes the engine start its renderer processes too.
    probe.Command({{"cmd", "call"},
                   {"method", "Target.createTarget"},
                   {"params", {{"url", "data:text/html,<p>alive</p>"}}}});
    Sleep(1000);
    probe.RememberEngineProcesses();
    auto engine = probe.engine_processes();
    std::erase_if(engine,
                  [](unsigned long pid) { return !IsRunning(pid); });  // Short-lived helpers.
    ASSERT_TRUE(IsRunning(probe.engine_pid()));
    ASSERT_GE(engine.size(), 2u) << "engine and at least one child expected";

    switch (GetParam()) {
        case Ending::kNormalExit:
            EXPECT_EQ(probe.Command({{"cmd", "exit"}}).value("exiting", false), true);
            ASSERT_TRUE(probe.WaitForExit(20000));
            break;
        case Ending::kTerminateProcess:
            probe.Terminate();
            ASSERT_TRUE(probe.WaitForExit(20000));
            break;
        case Ending::kKill9: {
            const unsigned long wine_pid = probe.LinuxPid();
            ASSERT_NE(wine_pid, 0ul);
            KillAll({wine_pid});
            ASSERT_TRUE(WaitUntilGone({wine_pid}, std::chrono::seconds(20)));
            break;
        }
    }
    EXPECT_TRUE(WaitUntilGone(engine, std::chrono::seconds(20)));
    for (auto pid : engine) EXPECT_FALSE(IsRunning(pid)) << "engine process " << pid << " remains";
}

INSTANTIATE_TEST_SUITE_P(Endings, EngineLifetime,
                         ::testing::Values(Ending::kNormalExit, Ending::kTerminateProcess,
                                           Ending::kKill9),
                         [](const auto& info) {
                             switch (info.param) {
                                 case Ending::kNormalExit:
                                     return std::string("NormalExit");
                                 case Ending::kTerminateProcess:
                                     return std::string("TerminateProcess");
                                 case Ending::kKill9:
                                     return std::string("Kill9");
                             }
                             return std::string();
                         });

}  // namespace
}  // namespace cef_test
