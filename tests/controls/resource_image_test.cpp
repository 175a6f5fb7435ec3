// Pictures loaded from the program's resources: their sizes, what a missing or broken resource
// gives, independent copies, the bitmap path, and that the copied bytes live exactly as long as
// their image.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>

#include "controls/resource_image.h"
#include "controls_test_ids.h"
#include "controls_test_support.h"
#include "resource.h"

namespace {

using controls_test::Canvas;
using controls_test::Pixels;

using ImagePtr = std::unique_ptr<Gdiplus::Image>;

ImagePtr Load(UINT id, LPCWSTR type = L"PNG", HINSTANCE module = nullptr) {
    return ImagePtr(LoadResourceImage(id, type, module));
}

// The image drawn at its natural size over an opaque ground.
Pixels Draw(Gdiplus::Image& image, int width, int height) {
    Canvas canvas(width, height, 0xFF102030);
    canvas.graphics().DrawImage(&image, 0, 0, static_cast<INT>(image.GetWidth()),
                                static_cast<INT>(image.GetHeight()));
    return canvas.Read();
}

struct Picture {
    UINT id;
    UINT width, height;
};
void PrintTo(const Picture& p, std::ostream* os) { *os << "picture " << p.id; }

constexpr Picture kPictures[] = {
    {IDP_OFFICIAL, 71, 24},     {IDP_CLOSE_HOVER, 39, 39},
    {IDP_LOGO_SMALL, 40, 40},   {IDP_LAUNCHER_BACKGROUND, 1081, 601},
    {IDP_REFRESH_ICON, 15, 15}, {IDP_WIN_CLOSE, 22, 22},
};

class ResourcePicture : public ::testing::TestWithParam<Picture> {};

TEST_P(ResourcePicture, NullModuleLoadsTheProgramsOwnPicture) {
    const Picture& p = GetParam();
    for (HINSTANCE module : {HINSTANCE(nullptr), ::GetModuleHandleW(nullptr)}) {
        ImagePtr image = Load(p.id, L"PNG", module);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(image->GetWidth(), p.width);
        EXPECT_EQ(image->GetHeight(), p.height);
        const Pixels drawn = Draw(*image, static_cast<int>(p.width), static_cast<int>(p.height));
        EXPECT_NE(drawn, Pixels(Canvas(drawn.width, drawn.height, 0xFF102030).Read()))
            << "the picture draws nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ResourcePicture, ::testing::ValuesIn(kPictures),
                         [](const auto& info) { return "Id" + std::to_string(info.param.id); });

struct Unusable {
    const char* name;
    UINT id;
    LPCWSTR type;
};
void PrintTo(const Unusable& u, std::ostream* os) { *os << u.name; }

const Unusable kUnusable[] = {
    {"MissingId", IDP_TEST_MISSING, L"PNG"},
    {"MissingType", IDP_OFFICIAL, L"NOSUCHTYPE"},
    {"NotAPicture", IDP_TEST_NOT_A_PICTURE, L"PNG"},
    {"MissingBitmap", IDP_TEST_MISSING, RT_BITMAP},
};

class UnusableResource : public ::testing::TestWithParam<Unusable> {};

TEST_P(UnusableResource, GivesAnImageOfNoSizeThatDrawsNothing) {
    ImagePtr image = Load(GetParam().id, GetParam().type, ::GetModuleHandleW(nullptr));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 0u);
    EXPECT_EQ(image->GetHeight(), 0u);
    Canvas canvas(8, 8, 0xFF102030);
    const Pixels before = canvas.Read();
    canvas.graphics().DrawImage(image.get(), 0, 0, 8, 8);
    EXPECT_EQ(canvas.Read(), before);
}

INSTANTIATE_TEST_SUITE_P(Resources, UnusableResource, ::testing::ValuesIn(kUnusable),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadResourceImage, SameIdTwiceGivesTwoIndependentImages) {
    ImagePtr first = Load(IDP_OFFICIAL_PRESSED);
    ImagePtr second = Load(IDP_OFFICIAL_PRESSED);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    const Pixels expected = Draw(*second, 71, 24);
    EXPECT_EQ(Draw(*first, 71, 24), expected);
    first.reset();
    EXPECT_EQ(second->GetWidth(), 71u);
    EXPECT_EQ(Draw(*second, 71, 24), expected);
}

TEST(LoadResourceImage, StaysDrawableLongAfterItWasLoaded) {
    ImagePtr image = Load(IDP_CLOSE_HOVER);
    ASSERT_NE(image, nullptr);
    const Pixels expected = Draw(*image, 39, 39);
    // Much loading and freeing of blocks of every size meanwhile, the picture's own included.
    const auto bytes = controls_test::ResourceBytes(L"PNG", IDP_CLOSE_HOVER);
    for (int round = 0; round < 50; ++round) {
        ImagePtr other = Load(IDP_CLOSE_HOVER);
        for (std::size_t size : {std::size_t(16), bytes.size(), std::size_t(70000)}) {
            HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, size);
            std::memset(block, 0xEE, size);
            ::GlobalFree(block);
        }
    }
    EXPECT_EQ(Draw(*image, 39, 39), expected);
}

// The copy of the resource bytes is a heap block of exactly their size holding them.
TEST(LoadResourceImage, CopiedBytesLiveExactlyAsLongAsTheirImage) {
    const auto bytes = controls_test::ResourceBytes(L"PNG", IDP_MINIMIZE_HOVER);
    ASSERT_FALSE(bytes.empty());
    const int before = controls_test::HeapBlocksHolding(bytes);
    ASSERT_GE(before, 0) << "cannot walk the process heap";

    ImagePtr first = Load(IDP_MINIMIZE_HOVER);
    ImagePtr second = Load(IDP_MINIMIZE_HOVER);
    EXPECT_GE(controls_test::HeapBlocksHolding(bytes), before + 2);
    first.reset();
    EXPECT_GE(controls_test::HeapBlocksHolding(bytes), before + 1);
    EXPECT_EQ(second->GetWidth(), 27u);
    second.reset();
    EXPECT_EQ(controls_test::HeapBlocksHolding(bytes), before);
}

// The test bitmap's pixels as its file defines them.
COLORREF TestBitmapColour(int x, int y) {
    return x < 3 ? RGB(0xF0, 0x40 * y, 0x20 * x) : RGB(0x10 * x, 0x30 * y, 0xF0);
}

TEST(LoadResourceImage, BitmapTypeLoadsABitmapResource) {
    ImagePtr image = Load(IDB_TEST_PICTURE, RT_BITMAP, ::GetModuleHandleW(nullptr));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->GetWidth(), 6u);
    ASSERT_EQ(image->GetHeight(), 4u);
    auto* bitmap = dynamic_cast<Gdiplus::Bitmap*>(image.get());
    ASSERT_NE(bitmap, nullptr) << "a bitmap resource gives a Gdiplus::Bitmap";
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            Gdiplus::Color c;
            ASSERT_EQ(bitmap->GetPixel(x, y, &c), Gdiplus::Ok);
            EXPECT_EQ(RGB(c.GetR(), c.GetG(), c.GetB()), TestBitmapColour(x, y)) << x << "," << y;
        }
    }
}

// The bitmap path takes the module as given: null names the system's bitmaps, not the program.
TEST(LoadResourceImage, BitmapTypeDoesNotReplaceANullModule) {
    ImagePtr own = Load(IDB_TEST_PICTURE, RT_BITMAP, nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->GetWidth(), 0u);
    ImagePtr system = Load(32754 /* OBM_CLOSE */, RT_BITMAP, nullptr);
    ASSERT_NE(system, nullptr);
    EXPECT_GT(system->GetWidth(), 0u);
}

struct Cycle {
    const char* name;
    UINT id;
    LPCWSTR type;
};
void PrintTo(const Cycle& c, std::ostream* os) { *os << c.name; }

const Cycle kCycles[] = {
    {"Background", IDP_LAUNCHER_BACKGROUND, L"PNG"},
    {"Bitmap", IDB_TEST_PICTURE, RT_BITMAP},
};

class LoadDeleteCycles : public ::testing::TestWithParam<Cycle> {};

// Each cycle copies the background's 1.1 MB, which would add up to 1.1 GB if the copy outlived
// its image; each bitmap cycle makes and must delete a GDI bitmap.
TEST_P(LoadDeleteCycles, LeaveMemoryAndGdiObjectsFlat) {
    const Cycle& c = GetParam();
    HMODULE self = ::GetModuleHandleW(nullptr);
    const auto cycle = [&] {
        ImagePtr image = Load(c.id, c.type, self);
        ASSERT_NE(image, nullptr);
        (void)image->GetWidth();
    };
    for (int i = 0; i < 20; ++i) cycle();  // GDI+ and the heap reach their working size
    const int gdiBefore = controls_test::GdiObjectCount();
    const std::size_t memoryBefore = controls_test::PrivateBytes();
    ASSERT_GT(gdiBefore, 0);
    ASSERT_GT(memoryBefore, 0u);
    for (int i = 0; i < 1000; ++i) cycle();
    EXPECT_EQ(controls_test::GdiObjectCount(), gdiBefore);
    const std::size_t memoryAfter = controls_test::PrivateBytes();
    constexpr std::size_t kSlack = 16u << 20;
    EXPECT_LT(memoryAfter, memoryBefore + kSlack)
        << "before " << memoryBefore << ", after " << memoryAfter;
}

INSTANTIATE_TEST_SUITE_P(Resources, LoadDeleteCycles, ::testing::ValuesIn(kCycles),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
