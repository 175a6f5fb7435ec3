// Pictures of the same page against the engine's lossless capture of it: the peak signal-to-
// noise ratio over the whole picture and over named regions, the pixels that differ, and the
// regions' crops side by side (each enlarged two times) in a PNG for the eye.
//
//   picture_compare REFERENCE.png NAME=PICTURE [NAME=PICTURE...]
//                   [--region NAME=X,Y,W,H]... [--crops OUT.png X,Y,W,H]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

struct Picture {
    std::string name;
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const {
        return &rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
    }
};

struct Region {
    std::string name;
    int x = 0, y = 0, w = 0, h = 0;
};

bool Load(const std::string& name, const std::string& path, Picture& out) {
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &out.width, &out.height, &channels, 3);
    if (!data) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), stbi_failure_reason());
        return false;
    }
    out.name = name;
    out.rgb.assign(data, data + std::size_t(out.width) * std::size_t(out.height) * 3);
    stbi_image_free(data);
    return true;
}

bool ParseRect(const char* text, Region& r) {
    return std::sscanf(text, "%d,%d,%d,%d", &r.x, &r.y, &r.w, &r.h) == 4 && r.w > 0 && r.h > 0;
}

// PSNR in dB of picture against reference over the region (infinite when identical), and the
// pixels that differ.
void Compare(const Picture& reference, const Picture& picture, const Region& r) {
    double squares = 0;
    long differing = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            const unsigned char* a = reference.at(x, y);
            const unsigned char* b = picture.at(x, y);
            bool differs = false;
            for (int c = 0; c < 3; ++c) {
                const double d = double(a[c]) - double(b[c]);
                squares += d * d;
                differs |= d != 0;
            }
            differing += differs;
        }
    }
    const double mse = squares / (double(r.w) * double(r.h) * 3.0);
    std::printf("%s, %s (%d x %d at %d,%d): ", picture.name.c_str(), r.name.c_str(), r.w, r.h, r.x,
                r.y);
    if (mse == 0) {
        std::printf("identical\n");
    } else {
        std::printf("PSNR %.1f dB, %ld of %ld pixels differ\n",
                    10.0 * std::log10(255.0 * 255.0 / mse), differing, long(r.w) * long(r.h));
    }
}

// The crops of every picture side by side, each enlarged two times, on white.
bool WriteCrops(const std::vector<Picture>& pictures, const Region& r, const std::string& path) {
    constexpr int kScale = 2, kGap = 8;
    const int width = int(pictures.size()) * (r.w * kScale + kGap) - kGap;
    const int height = r.h * kScale;
    std::vector<unsigned char> out(std::size_t(width) * std::size_t(height) * 3, 255);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const int left = int(i) * (r.w * kScale + kGap);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < r.w * kScale; ++x) {
                const unsigned char* p = pictures[i].at(r.x + x / kScale, r.y + y / kScale);
                std::memcpy(&out[(std::size_t(y) * std::size_t(width) + std::size_t(left + x)) * 3],
                            p, 3);
            }
        }
    }
    return stbi_write_png(path.c_str(), width, height, 3, out.data(), width * 3) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Picture> pictures;  // the reference first
    std::vector<Region> regions;
    std::string crops_path;
    Region crops{"crops"};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--region" && i + 1 < argc) {
            const std::string region = argv[++i];
            const auto eq = region.find('=');
            Region r;
            if (eq == std::string::npos || !ParseRect(region.c_str() + eq + 1, r)) {
                std::fprintf(stderr, "--region NAME=X,Y,W,H, not %s\n", region.c_str());
                return 2;
            }
            r.name = region.substr(0, eq);
            regions.push_back(r);
        } else if (arg == "--crops" && i + 2 < argc) {
            crops_path = argv[++i];
            if (!ParseRect(argv[++i], crops)) {
                std::fprintf(stderr, "--crops OUT.png X,Y,W,H\n");
                return 2;
            }
        } else {
            const auto eq = arg.find('=');
            Picture p;
            if (!Load(pictures.empty() ? "reference" : arg.substr(0, eq),
                      eq == std::string::npos ? arg : arg.substr(eq + 1), p))
                return 1;
            pictures.push_back(std::move(p));
        }
    }
    if (pictures.size() < 2) {
        std::fprintf(stderr,
                     "usage: picture_compare REFERENCE.png NAME=PICTURE [NAME=PICTURE...] "
                     "[--region NAME=X,Y,W,H]... [--crops OUT.png X,Y,W,H]\n");
        return 2;
    }
    const Picture& reference = pictures.front();
    regions.insert(regions.begin(), Region{"whole", 0, 0, reference.width, reference.height});
    for (const Region& r : regions) {
        if (r.x < 0 || r.y < 0 || r.x + r.w > reference.width || r.y + r.h > reference.height) {
            std::fprintf(stderr, "region %s lies outside the picture\n", r.name.c_str());
            return 2;
        }
    }
    for (std::size_t i = 1; i < pictures.size(); ++i) {
        if (pictures[i].width != reference.width || pictures[i].height != reference.height) {
            std::printf("%s: %d x %d, not the reference's %d x %d\n", pictures[i].name.c_str(),
                        pictures[i].width, pictures[i].height, reference.width, reference.height);
            return 1;
        }
        for (const Region& r : regions) Compare(reference, pictures[i], r);
    }
    if (!crops_path.empty()) {
        if (crops.x < 0 || crops.y < 0 || crops.x + crops.w > reference.width ||
            crops.y + crops.h > reference.height || !WriteCrops(pictures, crops, crops_path)) {
            std::fprintf(stderr, "could not write the crops to %s\n", crops_path.c_str());
            return 1;
        }
        std::printf("crops (%d x %d at %d,%d, enlarged 2 x): %s\n", crops.w, crops.h, crops.x,
                    crops.y, crops_path.c_str());
    }
    return 0;
}
