// The program icons and the manifests of Korvex and Quellix.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <set>
#include <string>

#include "resource_module.h"

namespace {

#ifdef _WIN64
constexpr const char* kArch = "amd64";
#else
constexpr const char* kArch = "x86";
#endif

// Icon sizes (pixels) listed in an icon group resource; 0 in the file means 256.
std::set<unsigned> IconGroupSizes(std::span<const std::uint8_t> group) {
    std::set<unsigned> sizes;
    if (group.size() < 6) return sizes;
    const unsigned count = group[4] | group[5] << 8;
    for (unsigned i = 0; i < count && 6 + 14 * (i + 1) <= group.size(); ++i) {
        const unsigned w = group[6 + 14 * i], h = group[6 + 14 * i + 1];
        if (w == h) sizes.insert(w == 0 ? 256 : w);
    }
    return sizes;
}

void ExpectUsableIcon(const ResourceModule& module, unsigned id) {
    const auto sizes = IconGroupSizes(module.bytes(RT_GROUP_ICON, id));
    for (unsigned size : {16u, 32u, 48u, 256u}) EXPECT_TRUE(sizes.count(size)) << size << " pixels";
    for (int size : {16, 32}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(module.handle(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bm{};
        GetObjectW(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, size);
        EXPECT_EQ(bm.bmBitsPixel, 32);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

std::string Manifest(const ResourceModule& module) {
    const auto bytes = module.bytes(RT_MANIFEST, 1);
    return {bytes.begin(), bytes.end()};
}

// The first XML element with the given name that holds the given text, or "".
std::string Element(const std::string& xml, const std::string& name,
                    const std::string& holding = "") {
    const std::regex element("<" + name + "\\b[^>]*>");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), element);
         it != std::sregex_iterator(); ++it)
        if (it->str().find(holding) != std::string::npos) return it->str();
    return {};
}

void ExpectRunsAsInvoker(const std::string& manifest) {
    const std::string level = Element(manifest, "requestedExecutionLevel");
    EXPECT_NE(level.find("level=\"asInvoker\""), std::string::npos) << level;
    EXPECT_NE(level.find("uiAccess=\"false\""), std::string::npos) << level;
    const std::string self = Element(manifest, "assemblyIdentity");
    EXPECT_NE(self.find(std::string("processorArchitecture=\"") + kArch + "\""), std::string::npos)
        << self;
}

const ResourceModule& Korvex() {
    static const ResourceModule module(BinDir() / L"Korvex.exe");
    return module;
}

TEST(KorvexIcon, Resource128HoldsEverySize) {
    ASSERT_TRUE(Korvex().loaded()) << "cannot open Korvex.exe in " << BinDir().string();
    ExpectUsableIcon(Korvex(), 128);
}

TEST(KorvexManifest, CommonControlsSixAsInvokerDpiAware) {
    ASSERT_TRUE(Korvex().loaded());
    const std::string manifest = Manifest(Korvex());
    ASSERT_FALSE(manifest.empty()) << "no manifest resource 1";
    const std::string controls =
        Element(manifest, "assemblyIdentity", "Microsoft.Windows.Common-Controls");
    ASSERT_FALSE(controls.empty()) << manifest;
    EXPECT_NE(controls.find("version=\"6.0.0.0\""), std::string::npos) << controls;
    EXPECT_NE(controls.find(std::string("processorArchitecture=\"") + kArch + "\""),
              std::string::npos)
        << controls;
    EXPECT_NE(controls.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos) << controls;
    EXPECT_NE(controls.find("type=\"win32\""), std::string::npos) << controls;
    // The dependency sits inside <dependency><dependentAssembly>.
    const auto dep = manifest.find("<dependentAssembly>");
    ASSERT_NE(dep, std::string::npos);
    EXPECT_LT(dep, manifest.find(controls));
    ExpectRunsAsInvoker(manifest);
    EXPECT_TRUE(
        std::regex_search(manifest, std::regex("<dpiAware\\b[^>]*>\\s*true\\s*</dpiAware>")));
}

TEST(KorvexManifest, ActivatesCommonControlsSix) {
    // The system accepts the manifest: an activation context made from Korvex's resource.
    const std::wstring exe = (BinDir() / L"Korvex.exe").wstring();
    ACTCTXW ctx{};
    ctx.cbSize = sizeof ctx;
    ctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    ctx.lpSource = exe.c_str();
    ctx.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE handle = CreateActCtxW(&ctx);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << GetLastError();
    ReleaseActCtx(handle);
}

TEST(Quellix, HasAnIconAndAnAsInvokerManifest) {
    const ResourceModule quellix(BinDir() / L"Quellix.exe");
    ASSERT_TRUE(quellix.loaded()) << "cannot open Quellix.exe in " << BinDir().string();
    const auto icons = quellix.ids(RT_GROUP_ICON);
    ASSERT_FALSE(icons.empty());
    ExpectUsableIcon(quellix, icons.front());
    const std::string manifest = Manifest(quellix);
    ASSERT_FALSE(manifest.empty()) << "no manifest resource 1";
    ExpectRunsAsInvoker(manifest);
}

}  // namespace
