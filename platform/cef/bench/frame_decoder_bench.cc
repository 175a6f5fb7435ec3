// The frame decoder alone, on the engine's own pictures (engine_capture.py writes them): base64
// text of each file decoded again and again as the decoder thread does, with the processor time
// per picture. The decoder is free of Win32: this runs natively (and under valgrind
// --tool=callgrind, whose instruction counts do not depend on what else the machine runs) and
// under Wine.
//
//   frame_decoder_bench PICTURE [PICTURE...] [--times N]
#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "browser/frame_decoder.h"

namespace {

std::string Base64(const std::vector<unsigned char>& bytes) {
    static const char* alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = unsigned(bytes[i]) << 16 | unsigned(bytes[i + 1]) << 8 | bytes[i + 2];
        for (int s = 18; s >= 0; s -= 6) out += alphabet[(v >> s) & 63];
    }
    if (i + 1 == bytes.size()) {
        const unsigned v = unsigned(bytes[i]) << 16;
        out += {alphabet[v >> 18], alphabet[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const unsigned v = unsigned(bytes[i]) << 16 | unsigned(bytes[i + 1]) << 8;
        out += {alphabet[v >> 18], alphabet[(v >> 12) & 63], alphabet[(v >> 6) & 63], '='};
    }
    return out;
}

// Processor time of this process in milliseconds (the C library's clock() is elapsed time on
// Windows).
double ProcessMs() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return double((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
               1e4;
    };
    return ms(kernel) + ms(user);
#else
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    int times = 20;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--times" && i + 1 < argc) {
            times = std::atoi(argv[++i]);
        } else {
            files.emplace_back(arg);
        }
    }
    if (files.empty() || times <= 0) {
        std::fprintf(stderr, "usage: frame_decoder_bench PICTURE [PICTURE...] [--times N]\n");
        return 2;
    }
    cef_detail::FrameDecoder decoder;
    cef_detail::DecodedFrame frame;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
        const std::string text = Base64(bytes);
        if (!decoder.Decode(text, frame)) {  // also the warm-up: the working memory is kept
            std::fprintf(stderr, "%s: not a picture the decoder takes\n", file.c_str());
            return 1;
        }
        const double cpu0 = ProcessMs();
        const auto wall0 = std::chrono::steady_clock::now();
        for (int i = 0; i < times; ++i) decoder.Decode(text, frame);
        const double cpu_ms = (ProcessMs() - cpu0) / times;
        const double wall_ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall0)
                .count() /
            times;
        std::printf(
            "%s: %d x %d, %zu bytes: %.2f ms of processor time per picture (%.2f ms "
            "elapsed), %d times\n",
            file.c_str(), frame.width, frame.height, bytes.size(), cpu_ms, wall_ms, times);
    }
    return 0;
}
