// Reference counting, strings, command lines and argument quoting: no engine needed.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "cef/cef_app.h"
#include "cef/cef_base.h"
#include "cef/cef_command_line.h"
#include "cef/cef_string.h"
#include "engine/engine_process.h"

namespace {

class Counted : public virtual CefBase {
  public:
    explicit Counted(std::atomic<int>* deleted) : deleted_(deleted) {}
    ~Counted() override { deleted_->fetch_add(1); }

  private:
    std::atomic<int>* deleted_;
    IMPLEMENT_REFCOUNTING(Counted);
};

// The application object's shape: two virtual bases of CefBase, one count.
class TwoBases : public CefApp, public CefBrowserProcessHandler {
  public:
    explicit TwoBases(std::atomic<int>* deleted) : deleted_(deleted) {}
    ~TwoBases() override { deleted_->fetch_add(1); }
    CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override { return this; }

  private:
    std::atomic<int>* deleted_;
    IMPLEMENT_REFCOUNTING(TwoBases);
};

TEST(RefCounting, StartsAtZeroAndDeletesWhenTheLastReferenceGoes) {
    std::atomic<int> deleted{0};
    auto* object = new Counted(&deleted);
    EXPECT_FALSE(object->HasOneRef());  // 0 after construction.
    object->AddRef();
    EXPECT_TRUE(object->HasOneRef());
    object->AddRef();
    EXPECT_FALSE(object->HasOneRef());
    EXPECT_FALSE(object->Release());
    EXPECT_TRUE(object->HasOneRef());
    EXPECT_EQ(deleted, 0);
    EXPECT_TRUE(object->Release());
    EXPECT_EQ(deleted, 1);
}

TEST(RefCounting, BalancesUnderManyThreads) {
    std::atomic<int> deleted{0};
    CefRefPtr<Counted> held = new Counted(&deleted);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                held->AddRef();
                CefRefPtr<Counted> copy = held;  // AddRef and Release through the pointer too.
                held->Release();
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_TRUE(held->HasOneRef());
    EXPECT_EQ(deleted, 0);
    held = nullptr;
    EXPECT_EQ(deleted, 1);
}

TEST(RefCounting, PointersBalanceThroughCopiesMovesAndBases) {
    std::atomic<int> deleted{0};
    {
        CefRefPtr<TwoBases> app = new TwoBases(&deleted);
        CefRefPtr<CefApp> as_app = app;
        CefRefPtr<CefBrowserProcessHandler> handler = app->GetBrowserProcessHandler();
        EXPECT_EQ(handler.get(), app->GetBrowserProcessHandler().get());
        CefRefPtr<CefApp> moved = std::move(as_app);
        EXPECT_FALSE(as_app);
        EXPECT_FALSE(app->HasOneRef());
        moved = nullptr;
        handler = nullptr;
        EXPECT_TRUE(app->HasOneRef());
        app = app;  // Self-assignment keeps the object.
        EXPECT_TRUE(app->HasOneRef());
    }
    EXPECT_EQ(deleted, 1);
}

struct StringCase {
    const char* utf8;
    std::u16string utf16;
};

TEST(CefStringTest, ConvertsBetweenUtf8Utf16AndWide) {
    const StringCase cases[] = {
        {"", u""},
        {"https://torvane.example/login?a=1", u"https://torvane.example/login?a=1"},
        {"\xe5\xae\x8b\xe4\xbd\x93 \xe6\xb8\xb8\xe6\x88\x8f", u"宋体 游戏"},
        {"\xf0\x9f\x8e\xae", u"\U0001F3AE"},  // Outside the basic plane: a surrogate pair.
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        const CefString s(c.utf8);
        EXPECT_EQ(s.ToString16(), c.utf16);
        EXPECT_EQ(s.length(), c.utf16.size());
        EXPECT_EQ(s.empty(), c.utf16.empty());
        EXPECT_EQ(s.ToString(), c.utf8);
        const std::wstring wide = s.ToWString();
        EXPECT_EQ(CefString(wide), s);
        EXPECT_EQ(CefString(wide.c_str()).ToString(), c.utf8);
    }
}

TEST(CefStringTest, BadInputBecomesReplacementCharacters) {
    EXPECT_EQ(CefString("a\xff"
                        "b")
                  .ToString16(),
              u"a\uFFFDb");
    EXPECT_EQ(CefString("\xe5\xae").ToString16(), u"\uFFFD");  // Cut short.
    EXPECT_EQ(CefString(std::wstring(1, wchar_t(0xD800))).ToString(), "\xef\xbf\xbd");
    const char* null_text = nullptr;
    EXPECT_TRUE(CefString(null_text).empty());
}

TEST(CommandLine, KeepsEntriesInOrderAndTellsArgumentsFromSwitches) {
    auto cl = CefCommandLine::CreateCommandLine();
    cl->SetProgram("korvex.exe");
    cl->AppendArgument("--ignore-certificate-errors");
    cl->AppendArgument("--ignore-ssl-errors");
    cl->AppendSwitchWithValue("--ppapi-flash-path", "pepperflash/pepflashplayer.dll");
    cl->AppendSwitchWithValue("--ppapi-flash-version", "23.0.0.162");
    cl->AppendSwitch("mute-audio");

    std::vector<std::string> argv;
    cl->GetArgv(argv);
    EXPECT_EQ(argv, (std::vector<std::string>{"korvex.exe", "--ignore-certificate-errors",
                                              "--ignore-ssl-errors",
                                              "--ppapi-flash-path=pepperflash/pepflashplayer.dll",
                                              "--ppapi-flash-version=23.0.0.162", "--mute-audio"}));
    CefCommandLine::ArgumentList arguments;
    cl->GetArguments(arguments);
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[0].ToString(), "--ignore-certificate-errors");
    EXPECT_TRUE(cl->HasArguments());
    // Plain arguments are not switches.
    EXPECT_FALSE(cl->HasSwitch("ignore-certificate-errors"));
    EXPECT_TRUE(cl->HasSwitch("ppapi-flash-path"));
    EXPECT_TRUE(cl->HasSwitch("--ppapi-flash-version"));
    EXPECT_EQ(cl->GetSwitchValue("ppapi-flash-version").ToString(), "23.0.0.162");
    EXPECT_TRUE(cl->HasSwitch("mute-audio"));
    EXPECT_TRUE(cl->GetSwitchValue("mute-audio").empty());
    EXPECT_FALSE(cl->HasSwitch("ppapi"));
}

}  // namespace
