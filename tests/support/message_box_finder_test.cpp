// The message box finder against real message boxes: each case shows one on a thread of its own
// (the finder looks at top-level windows of a process, so this process stands in for another),
// finds it, reads it and closes it with a button, as the other Windows tests do with their
// programs' boxes.
#include "message_box_finder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace korvex_test {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kOwnerCaption[] = L"finder test owner";

// Polls for a dialog of this process for up to 30 s.
HWND WaitForDialog(const wchar_t* caption) {
    const auto end = std::chrono::steady_clock::now() + 30s;
    HWND found = nullptr;
    while (!(found = FindProcessDialog(GetCurrentProcessId(), caption)) &&
           std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(20ms);
    return found;
}

// A thread of its own that shows windows: `show` runs there and its result is kept. The thread
// is ended when the object goes, also when the test has not closed what it shows.
class WindowThread {
  public:
    explicit WindowThread(std::function<int()> show) : show_(std::move(show)) {
        thread_ = CreateThread(nullptr, 0, &WindowThread::Run, this, 0, &threadId_);
    }
    ~WindowThread() {
        if (!thread_) return;
        // Message loops, modal ones too, end on WM_QUIT; repeated in case the thread has no
        // queue yet.
        for (int i = 0; i < 100 && WaitForSingleObject(thread_, 100) == WAIT_TIMEOUT; ++i)
            PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        CloseHandle(thread_);
    }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    bool Started() const { return thread_ != nullptr; }
    // What `show` returned, once it has within 30 s; 0 otherwise.
    int Result() const {
        return WaitForSingleObject(thread_, 30000) == WAIT_OBJECT_0 ? result_ : 0;
    }

  private:
    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<WindowThread*>(param);
        self->result_ = self->show_();
        return 0;
    }

    std::function<int()> show_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    int result_ = 0;
};

// A message box on a thread of its own, optionally owned by a window of that thread; the result
// is what MessageBoxW returned.
std::function<int()> ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT style,
                                    bool owned) {
    return [=] {
        const HWND owner = owned
                               ? CreateWindowExW(0, L"STATIC", kOwnerCaption, WS_OVERLAPPEDWINDOW,
                                                 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr)
                               : nullptr;
        const int pressed = MessageBoxW(owner, text, caption, style);
        if (owner) DestroyWindow(owner);
        return pressed;
    };
}

struct BoxCase {
    const char* name;
    const wchar_t* caption;
    const wchar_t* text;
    UINT style;
    bool owned;
    std::vector<int> buttons;  // the visible buttons, in order
    bool icon;
    std::vector<int> notPressable;  // ids PressButton must refuse
    int press;
};

class MessageBoxFinder : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxFinder, FindsReadsAndClosesTheBox) {
    const BoxCase& c = GetParam();
    WindowThread shown(ShowMessageBox(c.text, c.caption, c.style, c.owned));
    ASSERT_TRUE(shown.Started());
    const HWND box = WaitForDialog(c.caption);
    ASSERT_NE(box, nullptr) << "no dialog captioned as asked";
    EXPECT_EQ(FindProcessDialog(GetCurrentProcessId()), box);
    EXPECT_EQ(FindProcessDialog(GetCurrentProcessId(), L"another caption"), nullptr);

    const MessageBoxSeen seen = ReadMessageBox(box);
    EXPECT_EQ(seen.window, box);
    EXPECT_EQ(seen.caption, c.caption);
    EXPECT_EQ(seen.text, c.text);
    EXPECT_EQ(seen.visibleButtons, c.buttons);
    EXPECT_EQ(seen.showsIcon, c.icon);
    EXPECT_EQ(seen.owner != nullptr, c.owned);
    EXPECT_EQ(seen.ownerCaption, c.owned ? kOwnerCaption : L"");

    for (const int id : c.notPressable) EXPECT_FALSE(PressButton(box, id)) << "button " << id;
    EXPECT_TRUE(IsWindow(box)) << "a refused press closed the box";
    ASSERT_TRUE(PressButton(box, c.press));
    EXPECT_EQ(shown.Result(), c.press);
    EXPECT_FALSE(IsWindow(box));
}

// clang-format off
const BoxCase kBoxes[] = {
    {"ok_owned", L"卸载程序", L"Torvane已成功卸载", MB_OK, true,
     {IDOK}, false, {IDCANCEL, IDYES}, IDOK},
    {"ok_ownerless", L"finder ok", L"first line\nsecond line", MB_OK, false,
     {IDOK}, false, {IDNO}, IDOK},
    {"yes_no_warning", L"finder yes no", L"继续吗？", MB_YESNO | MB_ICONWARNING, true,
     {IDYES, IDNO}, true, {IDOK, IDCANCEL}, IDNO},
    {"retry_cancel_error", L"finder retry", L"retry?", MB_RETRYCANCEL | MB_ICONERROR, false,
     {IDRETRY, IDCANCEL}, true, {IDOK, IDABORT}, IDRETRY},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Boxes, MessageBoxFinder, ::testing::ValuesIn(kBoxes),
                         [](const auto& info) { return std::string(info.param.name); });

// Only dialogs count: a plain top-level window of the process with the same caption is passed
// over, before and while the box shows.
TEST(MessageBoxFinderSearch, PassesOverWindowsThatAreNoDialogs) {
    constexpr wchar_t kCaption[] = L"finder same caption";
    const HWND plain = CreateWindowExW(0, L"STATIC", kCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                       0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(FindProcessDialog(GetCurrentProcessId(), kCaption), nullptr);
    {
        WindowThread shown(ShowMessageBox(L"text", kCaption, MB_OK, false));
        const HWND box = WaitForDialog(kCaption);
        ASSERT_NE(box, nullptr);
        EXPECT_NE(box, plain);
        ASSERT_TRUE(PressButton(box, IDOK));
        EXPECT_EQ(shown.Result(), IDOK);
    }
    DestroyWindow(plain);
}

// Another process's id finds none of this process's dialogs.
TEST(MessageBoxFinderSearch, KeepsToTheProcess) {
    constexpr wchar_t kCaption[] = L"finder own process";
    WindowThread shown(ShowMessageBox(L"text", kCaption, MB_OK, false));
    const HWND box = WaitForDialog(kCaption);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(FindProcessDialog(GetCurrentProcessId() + 4, kCaption), nullptr);
    EXPECT_EQ(FindProcessDialog(0, kCaption), nullptr);
    ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_EQ(shown.Result(), IDOK);
}

// A dialog with controls the user cannot see or use: hidden ones are not read, and neither
// hidden nor disabled buttons are pressed. The dialog's thread reports the command it receives.
TEST(MessageBoxFinderRead, OnlyWhatTheUserSeesAndCanPress) {
    constexpr wchar_t kCaption[] = L"finder plain dialog";
    constexpr int kAbsent = 99;
    WindowThread shown([&] {
        const HWND dialog =
            CreateWindowExW(0, WC_DIALOG, kCaption, WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 300,
                            200, nullptr, nullptr, nullptr, nullptr);
        const auto control = [&](const wchar_t* kind, const wchar_t* text, DWORD style, int id) {
            CreateWindowExW(0, kind, text, WS_CHILD | style, 0, 0, 50, 20, dialog,
                            reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
        };
        control(L"BUTTON", L"OK", WS_VISIBLE, IDOK);
        control(L"BUTTON", L"Cancel", 0, IDCANCEL);
        control(L"BUTTON", L"Abort", WS_VISIBLE | WS_DISABLED, IDABORT);
        control(L"STATIC", L"shown", WS_VISIBLE, 100);
        control(L"STATIC", L"hidden", 0, 101);
        control(L"STATIC", nullptr, WS_VISIBLE | SS_ICON, 102);
        int command = 0;
        MSG msg;
        while (!command && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.hwnd == dialog && msg.message == WM_COMMAND &&
                msg.lParam == LPARAM(GetDlgItem(dialog, LOWORD(msg.wParam))))
                command = LOWORD(msg.wParam);
            DispatchMessageW(&msg);
        }
        DestroyWindow(dialog);
        return command;
    });
    const HWND dialog = WaitForDialog(kCaption);
    ASSERT_NE(dialog, nullptr);
    const MessageBoxSeen seen = ReadMessageBox(dialog);
    EXPECT_EQ(seen.text, L"shown");
    EXPECT_EQ(seen.visibleButtons, (std::vector<int>{IDOK, IDABORT}));
    EXPECT_FALSE(seen.showsIcon);
    EXPECT_EQ(seen.owner, nullptr);
    for (const int id : {IDCANCEL, IDABORT, kAbsent})
        EXPECT_FALSE(PressButton(dialog, id)) << "button " << id;
    ASSERT_TRUE(PressButton(dialog, IDOK));
    EXPECT_EQ(shown.Result(), IDOK);
}

TEST(MessageBoxFinderSearch, NothingToReadOrPressWithoutAWindow) {
    EXPECT_EQ(WindowCaption(nullptr), L"");
    EXPECT_FALSE(PressButton(nullptr, IDOK));
}

}  // namespace
}  // namespace korvex_test
