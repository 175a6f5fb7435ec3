// Every picture of Korvex's catalogue: present under type "PNG", decodable by GDI+, of the
// listed size and transparency; the launcher background's layout; the looks of the buttons.
#include <gtest/gtest.h>

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ostream>

#include "decoded_image.h"
#include "resource_module.h"

namespace {

// GDI+ runs for the whole program (korvex_gdiplus_environment).

const ResourceModule& Korvex() {
    static const ResourceModule module(BinDir() / L"Korvex.exe");
    return module;
}

DecodedImage Picture(unsigned id) { return DecodeWithGdiplus(Korvex().bytes(L"PNG", id)); }

struct CatalogueEntry {
    unsigned id;
    unsigned width, height;
    bool alpha;  // 32-bit RGBA with transparency, or 24-bit RGB without
};

void PrintTo(const CatalogueEntry& e, std::ostream* os) { *os << "picture " << e.id; }

constexpr CatalogueEntry kCatalogue[] = {
    // Launcher link texts: pressed/disabled, normal, hover.
    {132, 71, 24, true},
    {133, 71, 24, true},
    {134, 71, 24, true},  // official website
    {135, 71, 24, true},
    {136, 71, 24, true},
    {137, 71, 24, true},  // recharge centre
    {138, 71, 22, true},
    {139, 71, 22, true},
    {140, 71, 22, true},  // game forum
    {141, 71, 24, true},
    {142, 71, 24, true},
    {143, 71, 24, true},  // customer service
    // Launcher round buttons.
    {144, 27, 27, true},
    {145, 27, 27, true},
    {146, 27, 27, true},  // minimise
    {147, 27, 27, true},
    {148, 27, 27, true},
    {149, 39, 39, true},  // close, its large hover
    // Logos and background.
    {150, 40, 40, true},
    {152, 128, 128, true},
    {153, 1081, 601, true},
    {183, 390, 178, true},
    // Title-strip icons: normal, disabled, hover.
    {156, 15, 15, true},
    {157, 15, 15, true},
    {158, 15, 15, true},  // R
    {159, 15, 15, true},
    {160, 15, 15, true},
    {161, 15, 15, true},  // circular arrow
    {162, 15, 15, true},
    {163, 15, 15, true},
    {164, 15, 15, true},  // house
    {177, 15, 15, true},
    {178, 15, 15, true},  // person
    {184, 15, 15, true},
    {185, 15, 15, true},  // broom
    // Window buttons, opaque.
    {165, 22, 22, false},
    {166, 22, 22, false},
    {167, 22, 22, false},  // minimise
    {168, 22, 22, false},
    {169, 22, 22, false},
    {170, 22, 22, false},  // maximise
    {171, 22, 22, false},
    {172, 22, 22, false},
    {173, 22, 22, false},  // close
    {179, 22, 22, true},
    {180, 22, 22, true},  // hide
};

// PNG header fields: colour type 6 = RGBA, 2 = RGB; bit depth 8.
struct PngHeader {
    unsigned width = 0, height = 0, bitDepth = 0, colourType = 0;
};
PngHeader ReadPngHeader(std::span<const std::uint8_t> png) {
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 33 || !std::equal(std::begin(kSignature), std::end(kSignature), png.begin()) ||
        std::memcmp(png.data() + 12, "IHDR", 4) != 0)
        return {};
    auto be32 = [&](std::size_t at) {
        return unsigned(png[at]) << 24 | unsigned(png[at + 1]) << 16 | unsigned(png[at + 2]) << 8 |
               png[at + 3];
    };
    return {be32(16), be32(20), png[24], png[25]};
}

class CataloguePicture : public ::testing::TestWithParam<CatalogueEntry> {};

TEST_P(CataloguePicture, IsAPngOfTheListedSizeAndTransparency) {
    ASSERT_TRUE(Korvex().loaded()) << "cannot open Korvex.exe in " << BinDir().string();
    const CatalogueEntry& e = GetParam();
    const auto bytes = Korvex().bytes(L"PNG", e.id);
    ASSERT_FALSE(bytes.empty()) << "no resource PNG " << e.id;

    const PngHeader header = ReadPngHeader(bytes);
    EXPECT_EQ(header.width, e.width);
    EXPECT_EQ(header.height, e.height);
    EXPECT_EQ(header.bitDepth, 8u);
    EXPECT_EQ(header.colourType, e.alpha ? 6u : 2u);

    const DecodedImage image = DecodeWithGdiplus(bytes);
    ASSERT_TRUE(image.ok) << "GDI+ cannot decode PNG " << e.id;
    EXPECT_EQ(image.width, e.width);
    EXPECT_EQ(image.height, e.height);
    EXPECT_EQ(Gdiplus::IsAlphaPixelFormat(image.pixelFormat) != FALSE, e.alpha);

    unsigned transparent = 0, opaque = 0, visible = 0;
    for (std::uint32_t p : image.argb) {
        transparent += DecodedImage::alpha(p) == 0;
        opaque += DecodedImage::alpha(p) == 255;
        visible += DecodedImage::alpha(p) >= 128;
    }
    EXPECT_GT(visible, image.argb.size() / 10) << "too little is visible";
    if (e.alpha)
        EXPECT_GT(transparent, 0u) << "no fully transparent pixel";
    else
        EXPECT_EQ(opaque, image.argb.size());
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CataloguePicture, ::testing::ValuesIn(kCatalogue),
                         [](const auto& info) { return "Id" + std::to_string(info.param.id); });

TEST(Pictures, NoPngResourceBesidesTheCatalogue) {
    ASSERT_TRUE(Korvex().loaded());
    for (unsigned id : Korvex().ids(L"PNG")) {
        const bool listed = std::any_of(std::begin(kCatalogue), std::end(kCatalogue),
                                        [id](const CatalogueEntry& e) { return e.id == id; });
        EXPECT_TRUE(listed) << "PNG " << id << " is not in the catalogue";
    }
}

// The launcher's layout, in launcher pixels; the demo configuration places the login page and
// the buttons there.
constexpr RECT kPanel = {400, 170, 860, 450};
constexpr RECT kButtons[] = {
    {420, 468, 491, 492}, {521, 468, 592, 492},
    {622, 468, 693, 492},                        // official, recharge, service
    {723, 469, 794, 491},                        // forum
    {850, 128, 877, 155}, {884, 128, 911, 155},  // minimise, close
};

TEST(LauncherBackground, CornersAreTransparentAndTheEdgesFadeOut) {
    const DecodedImage bg = Picture(153);
    ASSERT_TRUE(bg.ok);
    for (auto [x, y] : {std::pair{0u, 0u},
                        {bg.width - 1, 0u},
                        {0u, bg.height - 1},
                        {bg.width - 1, bg.height - 1}})
        EXPECT_EQ(DecodedImage::alpha(bg.at(x, y)), 0u) << "corner " << x << "," << y;
    // Soft edges: some pixels are partly transparent, not only 0 or 255.
    unsigned partial = 0;
    for (std::uint32_t p : bg.argb)
        partial += DecodedImage::alpha(p) > 0 && DecodedImage::alpha(p) < 255;
    EXPECT_GT(partial, 1000u);
}

TEST(LauncherBackground, PanelIsOpaqueRed) {
    const DecodedImage bg = Picture(153);
    ASSERT_TRUE(bg.ok);
    for (LONG y = kPanel.top; y < kPanel.bottom; ++y) {
        for (LONG x = kPanel.left; x < kPanel.right; ++x) {
            const std::uint32_t p = bg.at(x, y);
            ASSERT_EQ(DecodedImage::alpha(p), 255u) << x << "," << y;
            ASSERT_GT(DecodedImage::red(p), 2 * DecodedImage::green(p)) << x << "," << y;
            ASSERT_GT(DecodedImage::red(p), 2 * DecodedImage::blue(p)) << x << "," << y;
        }
    }
    const std::uint32_t centre =
        bg.at((kPanel.left + kPanel.right) / 2, (kPanel.top + kPanel.bottom) / 2);
    EXPECT_GE(DecodedImage::red(centre), 120u);
}

TEST(LauncherBackground, ButtonsAndFrameSitOnOpaqueArtwork) {
    const DecodedImage bg = Picture(153);
    ASSERT_TRUE(bg.ok);
    for (const RECT& r : kButtons)
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                ASSERT_EQ(DecodedImage::alpha(bg.at(x, y)), 255u)
                    << "under a button at " << x << "," << y;
    // A frame of at least 8 pixels around the panel.
    for (LONG x = kPanel.left - 8; x < kPanel.right + 8; ++x)
        for (LONG y : {kPanel.top - 8, kPanel.bottom + 7})
            ASSERT_EQ(DecodedImage::alpha(bg.at(x, y)), 255u) << x << "," << y;
}

// The three looks of a launcher link text: pressed is the normal picture one pixel lower and
// to the right, hover is brighter and one pixel higher.
struct LinkLooks {
    const char* name;
    unsigned pressed, normal, hover;
};
constexpr LinkLooks kLinks[] = {{"Official", 132, 133, 134},
                                {"Recharge", 135, 136, 137},
                                {"Forum", 138, 139, 140},
                                {"Service", 141, 142, 143}};

class LinkText : public ::testing::TestWithParam<LinkLooks> {};

TEST_P(LinkText, PressedMovesDownRightAndHoverUpAndBrighter) {
    const InkMeasure pressed = MeasureInk(Picture(GetParam().pressed));
    const InkMeasure normal = MeasureInk(Picture(GetParam().normal));
    const InkMeasure hover = MeasureInk(Picture(GetParam().hover));
    EXPECT_NEAR(pressed.x - normal.x, 1.0, 0.3);
    EXPECT_NEAR(pressed.y - normal.y, 1.0, 0.3);
    EXPECT_NEAR(hover.x - normal.x, 0.0, 0.3);
    EXPECT_NEAR(hover.y - normal.y, -1.0, 0.3);
    EXPECT_GT(hover.luminance, normal.luminance + 5);
}

INSTANTIATE_TEST_SUITE_P(Launcher, LinkText, ::testing::ValuesIn(kLinks),
                         [](const auto& info) { return std::string(info.param.name); });

// Title-strip icons whose second picture is a dimmed copy of the first.
struct DimmedPair {
    unsigned bright, dimmed;
};
constexpr DimmedPair kDimmed[] = {{156, 157}, {159, 160}, {162, 163}, {177, 178}, {184, 185}};

class DimmedIcon : public ::testing::TestWithParam<DimmedPair> {};

TEST_P(DimmedIcon, IsDarkerThanTheBrightOne) {
    const InkMeasure bright = MeasureInk(Picture(GetParam().bright));
    const InkMeasure dimmed = MeasureInk(Picture(GetParam().dimmed));
    EXPECT_LT(dimmed.luminance, bright.luminance * 0.85);
    EXPECT_NEAR(dimmed.x, bright.x, 0.5);  // the same shape
    EXPECT_NEAR(dimmed.y, bright.y, 0.5);
}

INSTANTIATE_TEST_SUITE_P(TitleStrip, DimmedIcon, ::testing::ValuesIn(kDimmed),
                         [](const auto& info) { return "Id" + std::to_string(info.param.dimmed); });

}  // namespace
