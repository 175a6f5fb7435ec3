// The boss-key dialog from Korvex's own template, run modally on the test's thread while a
// second thread works it like a player: it waits for the dialog to take the foreground, tabs to
// the hotkey control, types with SendInput, and clicks OK or presses Enter, Escape or Alt+F4.
#include "game/hotkey_dlg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "game/hotkey_value.h"
#include "input_driver.h"

namespace {

using game_test::ClickCentre;
using game_test::FocusOfThread;
using game_test::Key;
using game_test::SendBounded;
using game_test::TypeChord;
using game_test::WaitUntil;

constexpr wchar_t kCaption[] = L"设置老板键";
constexpr WORD kVirtualKeyBefore = 0x1234;
constexpr WORD kModifiersBefore = 0x5678;

// A plain top-level window standing in for the game window as the dialog's owner.
class OwnerWindow : public CWnd {
  public:
    OwnerWindow() {
        CreateEx(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 20, 20, 300, 200, nullptr, nullptr);
    }
};

// The dialog's windows as the driving thread finds them, and what it records on the way.
struct Driver {
    DWORD dialogThread = 0;
    HWND dialog = nullptr;
    HWND control = nullptr;
    HWND ok = nullptr;
    std::vector<std::string> failures;

    void Fail(const std::string& what) { failures.push_back(what); }

    LRESULT ControlValue() const { return SendBounded(control, HKM_GETHOTKEY); }

    // Moves the focus from the OK button to the hotkey control, the next tab stop, with Tab.
    bool FocusControl() {
        if (!WaitUntil([&] { return FocusOfThread(dialogThread) == ok; })) {
            Fail("the OK button does not have the focus");
            return false;
        }
        if (!TypeChord({{VK_TAB}}) ||
            !WaitUntil([&] { return FocusOfThread(dialogThread) == control; })) {
            Fail("Tab did not move the focus to the hotkey control");
            return false;
        }
        return true;
    }

    // Types a chord into the focused control and waits until the control holds `expected`.
    bool Type(const std::vector<Key>& chord, LRESULT expected) {
        if (!TypeChord(chord)) {
            Fail("SendInput refused the keys");
            return false;
        }
        LRESULT seen = -1;
        if (!WaitUntil([&] { return (seen = ControlValue()) == expected; })) {
            Fail("the control holds " + std::to_string(seen) + " after typing, not " +
                 std::to_string(expected));
            return false;
        }
        return true;
    }
};

// Runs `dialog` modally while `script` drives it from a second thread. The driver first waits
// for the dialog to be shown and in the foreground; after the script it waits for the dialog
// to end, and closes it when the script failed or could not end it.
INT_PTR RunDriven(CHotkeyDlg& dialog, Driver& driver, std::function<void(Driver&)> script) {
    driver.dialogThread = ::GetCurrentThreadId();
    std::thread thread([&driver, script = std::move(script)] {
        driver.dialog = game_test::WaitForThreadWindow(driver.dialogThread, kCaption);
        if (driver.dialog == nullptr) {
            driver.Fail("no dialog captioned \"设置老板键\" appeared");
            return;
        }
        driver.control = ::GetDlgItem(driver.dialog, IDC_HOTKEY);
        driver.ok = ::GetDlgItem(driver.dialog, IDOK);
        if (driver.control == nullptr || driver.ok == nullptr) {
            driver.Fail("the dialog lacks its hotkey control or OK button");
        } else if (!game_test::WaitForForeground(driver.dialog)) {
            driver.Fail("the dialog never came to the foreground");
        } else {
            script(driver);
        }
        HWND dialogWindow = driver.dialog;
        if (!driver.failures.empty()) ::PostMessageW(dialogWindow, WM_CLOSE, 0, 0);
        if (!WaitUntil([&] { return !::IsWindow(dialogWindow); })) {
            driver.Fail("the dialog stayed open");
            ::PostMessageW(dialogWindow, WM_CLOSE, 0, 0);
        }
    });
    const INT_PTR result = dialog.DoModal();
    thread.join();
    return result;
}

class HotkeyDialog : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_HOTKEY_CLASS};
        ::InitCommonControlsEx(&controls);
    }
};

TEST_F(HotkeyDialog, IsTheDynamicClassCHotkeyDlgOnTemplate181) {
    CHotkeyDlg dialog;
    EXPECT_STREQ(dialog.GetRuntimeClass()->m_lpszClassName, "CHotkeyDlg");
    EXPECT_TRUE(dialog.IsKindOf(RUNTIME_CLASS(CDialogEx)));
    EXPECT_EQ(dialog.m_nIDTemplate, 181u);
    EXPECT_EQ(dialog.m_hotkey, 0u);
    EXPECT_EQ(dialog.m_virtualKey, 0u);
    EXPECT_EQ(dialog.m_modifiers, 0u);
}

enum class Finish { ClickOk, Enter, Escape, AltF4 };

struct DialogCase {
    std::string name;
    DWORD initial;           // m_hotkey before DoModal
    std::vector<Key> chord;  // typed into the control; none: the control is not touched
    LRESULT typed;           // what the control holds after the chord
    Finish finish;
    INT_PTR result;
    DWORD hotkey;
    WORD virtualKey, modifiers;
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

// Runs one case with a stand-in game window as the owner, in the foreground as it is when the
// player presses its boss-key button, and checks what the dialog showed and returned.
void RunCase(const DialogCase& c) {
    OwnerWindow owner;
    ASSERT_NE(owner.m_hWnd, nullptr);
    ::SetForegroundWindow(owner.m_hWnd);
    CHotkeyDlg dialog(&owner);
    dialog.m_hotkey = c.initial;
    dialog.m_virtualKey = kVirtualKeyBefore;
    dialog.m_modifiers = kModifiersBefore;

    HWND focusAtStart = nullptr;
    LRESULT shownAtStart = -1;
    Driver driver;
    const INT_PTR result = RunDriven(dialog, driver, [&](Driver& d) {
        // The first tab stop, the OK button, has the focus once the dialog is up.
        WaitUntil([&] { return FocusOfThread(d.dialogThread) == d.ok; });
        focusAtStart = FocusOfThread(d.dialogThread);
        shownAtStart = d.ControlValue();
        if (!c.chord.empty()) {
            if (!d.FocusControl()) return;
            if (!d.Type(c.chord, c.typed)) return;
        }
        switch (c.finish) {
            case Finish::ClickOk:
                ClickCentre(d.ok);
                break;
            case Finish::Enter:
                TypeChord({{VK_RETURN}});
                break;
            case Finish::Escape:
                TypeChord({{VK_ESCAPE}});
                break;
            case Finish::AltF4:
                TypeChord({{VK_MENU}, {VK_F4}});
                break;
        }
    });

    for (const std::string& failure : driver.failures) ADD_FAILURE() << failure;
    EXPECT_EQ(focusAtStart, driver.ok) << "the OK button has the focus at the start";
    EXPECT_EQ(shownAtStart, static_cast<LRESULT>(korvex::HotkeyControlWord(c.initial)));
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(dialog.m_hotkey, c.hotkey);
    EXPECT_EQ(dialog.m_virtualKey, c.virtualKey);
    EXPECT_EQ(dialog.m_modifiers, c.modifiers);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

class DialogRun : public HotkeyDialog, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(DialogRun, ShowsTypesAndReturns) { RunCase(GetParam()); }

const Key kCtrl{VK_CONTROL}, kAlt{VK_MENU}, kShift{VK_SHIFT};

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogRun,
    ::testing::Values(
        // Nothing stored: the control shows no key, and OK reads none.
        DialogCase{"NoKeyShownOkGivesZero", 0, {}, 0, Finish::ClickOk, IDOK, 0, 0, 0},
        // A stored Ctrl+Alt+Z is shown, and read back unchanged.
        DialogCase{
            "StoredKeyShownAndReadBack", 0x065A, {}, 0, Finish::ClickOk, IDOK, 0x065A, 0x5A, 0x06},
        DialogCase{"EnterConfirmsLikeOk", 0x065A, {}, 0, Finish::Enter, IDOK, 0x065A, 0x5A, 0x06},
        // Bits above the packed word play no part in what is shown or read back.
        DialogCase{
            "UpperBitsAreNotShown", 0xABCD065A, {}, 0, Finish::ClickOk, IDOK, 0x065A, 0x5A, 0x06},
        // Typed keys.
        DialogCase{"TypedCtrlAltZ",
                   0,
                   {kCtrl, kAlt, {'Z'}},
                   0x065A,
                   Finish::ClickOk,
                   IDOK,
                   0x065A,
                   0x5A,
                   0x06},
        DialogCase{"TypedCtrlShiftF5",
                   0x065A,
                   {kCtrl, kShift, {VK_F5}},
                   0x0374,
                   Finish::ClickOk,
                   IDOK,
                   0x0374,
                   VK_F5,
                   0x03},
        // A key of the extended block keeps HOTKEYF_EXT through the dialog.
        DialogCase{
            "StoredArrowKeepsExt", 0x0A25, {}, 0, Finish::ClickOk, IDOK, 0x0A25, VK_LEFT, 0x0A},
        // Backspace clears the control; OK then reads no key.
        DialogCase{"BackspaceClears", 0x065A, {{VK_BACK}}, 0, Finish::ClickOk, IDOK, 0, 0, 0},
        // Cancelling leaves every member as it was, whatever was typed.
        DialogCase{"EscapeCancels",
                   0x065A,
                   {kCtrl, kShift, {'X'}},
                   0x0358,
                   Finish::Escape,
                   IDCANCEL,
                   0x065A,
                   kVirtualKeyBefore,
                   kModifiersBefore},
        DialogCase{"AltF4Cancels",
                   0,
                   {},
                   0,
                   Finish::AltF4,
                   IDCANCEL,
                   0,
                   kVirtualKeyBefore,
                   kModifiersBefore}),
    [](const auto& info) { return info.param.name; });

// Whether this system's hotkey control marks a typed key of the extended block with HOTKEYF_EXT,
// the flag's purpose; Wine's control never sets it.
bool ControlMarksExtendedKeys() {
    HWND control = ::CreateWindowExW(0, HOTKEY_CLASSW, L"", WS_POPUP, 0, 0, 100, 20, nullptr,
                                     nullptr, nullptr, nullptr);
    if (control == nullptr) return false;
    constexpr LPARAM kExtendedKey = 1 << 24;
    const LPARAM leftArrow =
        (static_cast<LPARAM>(::MapVirtualKeyW(VK_LEFT, MAPVK_VK_TO_VSC)) << 16) | kExtendedKey | 1;
    ::SendMessageW(control, WM_KEYDOWN, VK_LEFT, leftArrow);
    const auto value = static_cast<DWORD>(::SendMessageW(control, HKM_GETHOTKEY, 0, 0));
    ::DestroyWindow(control);
    return (korvex::HotkeyFlags(value) & HOTKEYF_EXT) != 0;
}

// An arrow typed with Ctrl: the dialog returns what the control made of it, HOTKEYF_EXT included
// where the control sets it; registration ignores the flag either way.
TEST_F(HotkeyDialog, TypedArrowGivesTheControlsValue) {
    const bool marksExtended = ControlMarksExtendedKeys();
    if (!marksExtended) {
        std::printf("note: this hotkey control does not mark extended keys with HOTKEYF_EXT\n");
    }
    const WORD flags = HOTKEYF_CONTROL | (marksExtended ? HOTKEYF_EXT : 0);
    const DWORD value = korvex::PackHotkey(VK_LEFT, static_cast<std::uint8_t>(flags));
    RunCase({"TypedArrow",
             0,
             {kCtrl, {VK_LEFT, true}},
             static_cast<LRESULT>(value),
             Finish::ClickOk,
             IDOK,
             value,
             VK_LEFT,
             flags});
    EXPECT_EQ(korvex::HotkeyFlagsToModifiers(flags), static_cast<unsigned>(MOD_CONTROL));
}

// What the control draws: a stored key looks exactly as the same key typed by the player, and
// no key looks like a cleared control. Pixels are read while the OK button has the focus, so no
// caret blinks in the control.
TEST_F(HotkeyDialog, StoredKeyIsDrawnAsTheTypedKey) {
    auto capture = [](DWORD initial, const std::vector<Key>& chord, LRESULT typed) {
        OwnerWindow owner;
        ::SetForegroundWindow(owner.m_hWnd);
        CHotkeyDlg dialog(&owner);
        dialog.m_hotkey = initial;
        std::vector<DWORD> pixels;
        Driver driver;
        const INT_PTR result = RunDriven(dialog, driver, [&](Driver& d) {
            if (!chord.empty()) {
                if (!d.FocusControl() || !d.Type(chord, typed)) return;
                // Tab takes the focus on to the OK button.
                TypeChord({{VK_TAB}});
                if (!WaitUntil([&] { return FocusOfThread(d.dialogThread) == d.ok; })) {
                    d.Fail("Tab did not move the focus to OK");
                    return;
                }
            } else if (!WaitUntil([&] { return FocusOfThread(d.dialogThread) == d.ok; })) {
                d.Fail("the OK button never had the focus");
                return;
            }
            pixels = game_test::ClientPixels(d.control);
            TypeChord({{VK_ESCAPE}});
        });
        for (const std::string& failure : driver.failures) ADD_FAILURE() << failure;
        EXPECT_EQ(result, IDCANCEL);
        return pixels;
    };

    const auto stored = capture(0x065A, {}, 0);
    const auto typed = capture(0, {kCtrl, kAlt, {'Z'}}, 0x065A);
    const auto empty = capture(0, {}, 0);
    const auto cleared = capture(0x065A, {{VK_BACK}}, 0);
    ASSERT_FALSE(stored.empty());
    EXPECT_TRUE(stored == typed) << "Ctrl+Alt+Z stored and typed are drawn alike";
    EXPECT_TRUE(empty == cleared) << "no key and a cleared control are drawn alike";
    EXPECT_FALSE(stored == empty) << "a key is drawn differently from no key";
}

}  // namespace
