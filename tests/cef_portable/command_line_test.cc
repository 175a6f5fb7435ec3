// The engine's command line: switches, values and plain arguments as the application adds them,
// and the library's own switches for each platform the engine runs on.
#include "cef/cef_command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <thread>
#include <vector>

#include "core/engine_switches.h"

namespace {

using testing::ElementsAre;

std::vector<std::string> Argv(CefCommandLine& line) {
    std::vector<std::string> argv;
    line.GetArgv(argv);
    return argv;
}

struct SwitchCase {
    const char* name;    // as appended
    const char* entry;   // as it goes onto the command line
    const char* lookup;  // another spelling that finds it
};

const SwitchCase kSwitches[] = {
    {"ignore-ssl-errors", "--ignore-ssl-errors", "--ignore-ssl-errors"},
    {"--ignore-ssl-errors", "--ignore-ssl-errors", "ignore-ssl-errors"},
    {"-single", "-single", "single"},
    {"x", "--x", "-x"},
};

TEST(CommandLine, SwitchesGetTheirPrefixAndAreFoundByName) {
    for (const SwitchCase& c : kSwitches) {
        SCOPED_TRACE(c.name);
        CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
        line->SetProgram("engine.exe");
        line->AppendSwitch(c.name);
        EXPECT_THAT(Argv(*line), ElementsAre("engine.exe", c.entry));
        EXPECT_TRUE(line->HasSwitch(c.name));
        EXPECT_TRUE(line->HasSwitch(c.lookup));
        EXPECT_TRUE(line->GetSwitchValue(c.name).empty());
        EXPECT_FALSE(line->HasArguments());
    }
}

struct ValueCase {
    const char* name;
    const char* value;
    const char* entry;
};

const ValueCase kValues[] = {
    {"ppapi-flash-version", "32.0.0.371", "--ppapi-flash-version=32.0.0.371"},
    {"--ppapi-flash-path", "pepperflash/pepflashplayer.dll",
     "--ppapi-flash-path=pepperflash/pepflashplayer.dll"},
    {"user-data-dir", "C:\\Program Files\\Torvane\\cache",
     "--user-data-dir=C:\\Program Files\\Torvane\\cache"},
    {"lang", "", "--lang="},
    {"title", "\"quoted\" a=b", "--title=\"quoted\" a=b"},
    {"name", "\xE4\xB8\xAD\xF0\x9F\x98\x80", "--name=\xE4\xB8\xAD\xF0\x9F\x98\x80"},
};

// Values go on as given; quoting for a process belongs to whoever starts it.
TEST(CommandLine, SwitchValuesAreKeptExactly) {
    for (const ValueCase& c : kValues) {
        SCOPED_TRACE(c.name);
        CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
        line->AppendSwitchWithValue(c.name, c.value);
        EXPECT_THAT(Argv(*line), ElementsAre("", c.entry));
        EXPECT_TRUE(line->HasSwitch(c.name));
        EXPECT_EQ(line->GetSwitchValue(c.name).ToString(), c.value);
    }
}

TEST(CommandLine, TheLastSpellingOfASwitchWins) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    line->AppendSwitchWithValue("lang", "en");
    line->AppendSwitch("other");
    line->AppendSwitchWithValue("--lang", "de");
    EXPECT_EQ(line->GetSwitchValue("lang").ToString(), "de");
    EXPECT_THAT(Argv(*line), ElementsAre("", "--lang=en", "--other", "--lang=de"));
}

TEST(CommandLine, PlainArgumentsAreNotSwitches) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    line->AppendSwitch("a");
    line->AppendArgument("https://example.test/?x=1");
    line->AppendArgument("--looks-like-a-switch");
    line->AppendArgument("");
    EXPECT_TRUE(line->HasArguments());
    CefCommandLine::ArgumentList arguments;
    line->GetArguments(arguments);
    ASSERT_EQ(arguments.size(), 3u);
    EXPECT_EQ(arguments[0].ToString(), "https://example.test/?x=1");
    EXPECT_EQ(arguments[1].ToString(), "--looks-like-a-switch");
    EXPECT_TRUE(arguments[2].empty());
    EXPECT_FALSE(line->HasSwitch("looks-like-a-switch"));
    EXPECT_THAT(Argv(*line),
                ElementsAre("", "--a", "https://example.test/?x=1", "--looks-like-a-switch", ""));

    CefCommandLine::ArgumentList argv;
    line->GetArgv(argv);
    EXPECT_EQ(argv.size(), 5u);
}

// "--" alone would end the engine's switches and turn every later one into an argument.
TEST(CommandLine, SwitchesWithoutANameAreDropped) {
    for (const char* name : {"", "-", "--"}) {
        SCOPED_TRACE(std::string("name '") + name + "'");
        CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
        line->AppendSwitch(name);
        line->AppendSwitchWithValue(name, "value");
        line->AppendSwitch("kept");
        EXPECT_THAT(Argv(*line), ElementsAre("", "--kept"));
        EXPECT_FALSE(line->HasArguments());
        EXPECT_FALSE(line->HasSwitch(name));
        EXPECT_TRUE(line->GetSwitchValue(name).empty());
    }
}

TEST(CommandLine, AbsentSwitchesAndAnEmptyLine) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    EXPECT_FALSE(line->HasSwitch("x"));
    EXPECT_TRUE(line->GetSwitchValue("x").empty());
    EXPECT_FALSE(line->HasArguments());
    EXPECT_TRUE(line->GetProgram().empty());
    EXPECT_THAT(Argv(*line), ElementsAre(""));
    line->AppendSwitch("xy");
    EXPECT_FALSE(line->HasSwitch("x"));  // names match whole, not by prefix
    EXPECT_FALSE(line->HasSwitch("XY"));
}

TEST(CommandLine, ProgramIsReplacedNotAppended) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    line->SetProgram("first.exe");
    line->SetProgram("C:\\Torvane\\Korvex.exe");
    line->AppendSwitch("a");
    EXPECT_EQ(line->GetProgram().ToString(), "C:\\Torvane\\Korvex.exe");
    EXPECT_THAT(Argv(*line), ElementsAre("C:\\Torvane\\Korvex.exe", "--a"));
}

// The line may be filled from several threads; no entry is lost.
TEST(CommandLine, ConcurrentAppendsKeepEveryEntry) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    constexpr int kThreads = 4;
    constexpr int kEach = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&line, t] {
            for (int i = 0; i < kEach; ++i) {
                line->AppendSwitchWithValue("s" + std::to_string(t) + "-" + std::to_string(i), "v");
                line->HasSwitch("s0-0");
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(Argv(*line).size(), std::size_t(1 + kThreads * kEach));
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_TRUE(line->HasSwitch("s" + std::to_string(t) + "-" + std::to_string(kEach - 1)));
    }
}

// ---- the engine's own switches, per platform ----

using cef_detail::EngineHost;
using cef_detail::EngineRequests;
using cef_detail::EngineSwitches;

bool Has(const std::vector<std::string>& switches, const std::string& name) {
    return std::find(switches.begin(), switches.end(), name) != switches.end();
}

struct PlatformCase {
    const char* name;
    EngineHost host;
    bool disable_gpu;  // expected
    bool no_sandbox;   // expected
};

const PlatformCase kPlatforms[] = {
    {"windows", {false, false}, false, false},
    // A Windows engine never asks who the Unix user is; a stray fact changes nothing.
    {"windows, root fact ignored", {false, true}, false, false},
    {"wine, user", {true, false}, true, false},
    {"wine, root", {true, true}, true, true},
};

class EngineSwitchesTest : public testing::TestWithParam<PlatformCase> {};

TEST_P(EngineSwitchesTest, GpuSoftwareFallbackAndSandboxFollowThePlatform) {
    const PlatformCase& c = GetParam();
    for (bool ignore_certificates : {false, true}) {
        SCOPED_TRACE(ignore_certificates ? "certificate errors ignored" : "certificates checked");
        EngineRequests requests;
        requests.ignore_certificate_errors = ignore_certificates;
        const std::vector<std::string> switches = EngineSwitches(c.host, requests);
        // What every engine needs to be driven by this process alone.
        EXPECT_EQ(switches.at(0), "--headless=new");
        EXPECT_TRUE(Has(switches, "--remote-debugging-pipe"));
        EXPECT_TRUE(Has(switches, "--no-first-run"));
        EXPECT_TRUE(Has(switches, "--disable-background-networking"));
        // WebGL without a usable GPU, everywhere.
        EXPECT_TRUE(Has(switches, "--enable-unsafe-swiftshader"));
        EXPECT_EQ(Has(switches, "--disable-gpu"), c.disable_gpu);
        EXPECT_EQ(Has(switches, "--no-sandbox"), c.no_sandbox);
        EXPECT_EQ(Has(switches, "--ignore-certificate-errors"), ignore_certificates);
        // Each switch once, and none that would end the switches early.
        std::vector<std::string> sorted = switches;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
        for (const std::string& s : switches) EXPECT_TRUE(s.starts_with("--") && s.size() > 2) << s;
    }
}

INSTANTIATE_TEST_SUITE_P(Platforms, EngineSwitchesTest, testing::ValuesIn(kPlatforms),
                         [](const testing::TestParamInfo<PlatformCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

}  // namespace
