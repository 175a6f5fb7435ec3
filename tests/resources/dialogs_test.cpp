// Korvex's dialog templates: header fields, fonts, languages, controls; and real dialogs
// created from them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <ostream>

#include "dialog_template.h"
#include "resource_module.h"

namespace {

const ResourceModule& Korvex() {
    static const ResourceModule module(BinDir() / L"Korvex.exe");
    return module;
}

constexpr LANGID kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr LANGID kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

struct TemplateExpectation {
    unsigned id;
    DWORD style, exStyle;
    short cx, cy;
    unsigned pointSize;
    const wchar_t* caption;
    unsigned controls;
    LANGID language;
};

void PrintTo(const TemplateExpectation& e, std::ostream* os) { *os << "dialog " << e.id; }

constexpr TemplateExpectation kTemplates[] = {
    // Launcher: borderless visible pop-up with a taskbar button.
    {102, WS_POPUP | WS_VISIBLE | DS_SETFONT | DS_FIXEDSYS, WS_EX_APPWINDOW, 320, 200, 9, L"", 0,
     kNeutral},
    // Browser host: hidden pop-up without caption or border.
    {130, WS_POPUP | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS, 0, 309, 176, 8, L"", 0,
     kChineseSimplified},
    // Game window: hidden borderless pop-up with its server label.
    {174, WS_POPUP | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS, 0, 871, 463, 8, L"", 1, kNeutral},
    // Boss-key dialog.
    {181, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS, 0, 217, 68,
     8, L"设置老板键", 2, kNeutral},
};

std::optional<DialogTemplate> Template(unsigned id) {
    return ParseDialogTemplate(Korvex().bytes(RT_DIALOG, id));
}

class DialogTemplateTest : public ::testing::TestWithParam<TemplateExpectation> {};

TEST_P(DialogTemplateTest, HeaderFontAndLanguage) {
    ASSERT_TRUE(Korvex().loaded()) << "cannot open Korvex.exe in " << BinDir().string();
    const TemplateExpectation& e = GetParam();
    const auto dlg = Template(e.id);
    ASSERT_TRUE(dlg) << "no extended dialog template " << e.id;
    EXPECT_EQ(dlg->style, e.style) << std::hex << dlg->style;
    EXPECT_EQ(dlg->exStyle, e.exStyle) << std::hex << dlg->exStyle;
    EXPECT_EQ(dlg->x, 0);
    EXPECT_EQ(dlg->y, 0);
    EXPECT_EQ(dlg->cx, e.cx);
    EXPECT_EQ(dlg->cy, e.cy);
    EXPECT_EQ(dlg->title, e.caption);
    EXPECT_FALSE(dlg->menu.ordinal || !dlg->menu.name.empty()) << "no menu";
    EXPECT_FALSE(dlg->windowClass.ordinal || !dlg->windowClass.name.empty())
        << "standard dialog class";
    EXPECT_EQ(dlg->typeface, L"MS Shell Dlg");
    EXPECT_EQ(dlg->pointSize, e.pointSize);
    EXPECT_EQ(dlg->items.size(), e.controls);
    EXPECT_EQ(Korvex().languages(RT_DIALOG, e.id), std::vector<LANGID>{e.language});
}

INSTANTIATE_TEST_SUITE_P(Korvex, DialogTemplateTest, ::testing::ValuesIn(kTemplates),
                         [](const auto& info) { return "Id" + std::to_string(info.param.id); });

struct ControlExpectation {
    unsigned dialog, id;
    const wchar_t* className;
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD style;
};

void PrintTo(const ControlExpectation& e, std::ostream* os) {
    *os << "dialog " << e.dialog << " control " << e.id;
}

constexpr ControlExpectation kControls[] = {
    {174, 1005, L"Static", L"Static", 51, 0, 71, 15, WS_CHILD | WS_VISIBLE | WS_GROUP},
    {181, IDOK, L"Button", L"确定", 131, 26, 55, 17,
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {181, 1003, L"msctls_hotkey32", L"", 23, 26, 96, 16,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP},
};

class DialogControl : public ::testing::TestWithParam<ControlExpectation> {};

TEST_P(DialogControl, InTemplateOrderWithItsPlaceAndStyle) {
    const ControlExpectation& e = GetParam();
    const auto dlg = Template(e.dialog);
    ASSERT_TRUE(dlg);
    // Template (and tab) order is the order of the table.
    std::size_t index = 0;
    for (const auto& c : kControls) {
        if (c.dialog == e.dialog && c.id == e.id) break;
        index += c.dialog == e.dialog;
    }
    ASSERT_LT(index, dlg->items.size());
    const DialogItem& item = dlg->items[index];
    EXPECT_EQ(item.id, e.id);
    EXPECT_EQ(CompareStringOrdinal(item.className().c_str(), -1, e.className, -1, TRUE), CSTR_EQUAL)
        << "class of control " << e.id;
    EXPECT_FALSE(item.title.ordinal);
    EXPECT_EQ(item.title.name, e.text);
    EXPECT_EQ(item.x, e.x);
    EXPECT_EQ(item.y, e.y);
    EXPECT_EQ(item.cx, e.cx);
    EXPECT_EQ(item.cy, e.cy);
    EXPECT_EQ(item.style, e.style) << std::hex << item.style;
    EXPECT_EQ(item.exStyle, 0u);
}

INSTANTIATE_TEST_SUITE_P(Korvex, DialogControl, ::testing::ValuesIn(kControls),
                         [](const auto& info) {
                             return "Dialog" + std::to_string(info.param.dialog) + "Control" +
                                    std::to_string(info.param.id);
                         });

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog window made from a template of Korvex; destroyed however the test ends.
class DialogWindow {
  public:
    explicit DialogWindow(std::span<const std::uint8_t> bytes) {
        m_hwnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                            reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                            nullptr, PlainDialogProc, 0);
    }
    ~DialogWindow() {
        if (m_hwnd) DestroyWindow(m_hwnd);
    }
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    HWND hwnd() const { return m_hwnd; }

  private:
    HWND m_hwnd = nullptr;
};

std::wstring Text(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

TEST(DialogWindows, HotkeyDialogHasItsCaptionButtonAndHotkeyControl) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_HOTKEY_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
    DialogWindow dlg(Korvex().bytes(RT_DIALOG, 181));
    ASSERT_NE(dlg.hwnd(), nullptr) << GetLastError();
    EXPECT_EQ(Text(dlg.hwnd()), L"设置老板键");
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));
    EXPECT_TRUE(GetWindowLongW(dlg.hwnd(), GWL_STYLE) & WS_CAPTION);
    const HWND ok = GetDlgItem(dlg.hwnd(), IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(Text(ok), L"确定");
    EXPECT_EQ(SendMessageW(dlg.hwnd(), DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    const HWND hotkey = GetDlgItem(dlg.hwnd(), 1003);
    ASSERT_NE(hotkey, nullptr);
    EXPECT_EQ(CompareStringOrdinal(ClassOf(hotkey).c_str(), -1, HOTKEY_CLASSW, -1, TRUE),
              CSTR_EQUAL);
    // The hotkey control takes and returns a key.
    SendMessageW(hotkey, HKM_SETHOTKEY, MAKEWORD('K', HOTKEYF_CONTROL), 0);
    EXPECT_EQ(SendMessageW(hotkey, HKM_GETHOTKEY, 0, 0), MAKEWORD('K', HOTKEYF_CONTROL));
    // The controls sit in the tab order of the template: hotkey control after the button.
    EXPECT_EQ(GetNextDlgTabItem(dlg.hwnd(), ok, FALSE), hotkey);
}

TEST(DialogWindows, BorderlessTemplatesMakeWindowsWithoutCaption) {
    for (unsigned id : {102u, 130u, 174u}) {
        SCOPED_TRACE(id);
        DialogWindow dlg(Korvex().bytes(RT_DIALOG, id));
        ASSERT_NE(dlg.hwnd(), nullptr);
        const LONG style = GetWindowLongW(dlg.hwnd(), GWL_STYLE);
        EXPECT_FALSE(style & WS_CAPTION);
        EXPECT_FALSE(style & WS_THICKFRAME);
        EXPECT_EQ(IsWindowVisible(dlg.hwnd()) != FALSE, id == 102);
        EXPECT_EQ((GetWindowLongW(dlg.hwnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0, id == 102);
        RECT window{}, client{};
        GetWindowRect(dlg.hwnd(), &window);
        GetClientRect(dlg.hwnd(), &client);
        EXPECT_EQ(window.right - window.left, client.right) << "no border";
        EXPECT_EQ(window.bottom - window.top, client.bottom) << "no border";
    }
    DialogWindow game(Korvex().bytes(RT_DIALOG, 174));
    ASSERT_NE(game.hwnd(), nullptr);
    const HWND label = GetDlgItem(game.hwnd(), 1005);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(Text(label), L"Static");
}

}  // namespace
