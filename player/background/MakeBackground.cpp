// Paints the player window's background picture: a calm parchment of warm
// beige, a little darker towards the edges, with a soft fibrous grain. The
// picture is made here, from nothing but arithmetic, so the project owns it.
// Usage: norvo-make-background OUTPUT.jpg
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 688; // the player's client area
constexpr int kHeight = 447;
constexpr int kQuality = 85; // small file, no visible blocks on soft texture

// A repeatable hash of a lattice point, 0..1.
double Hash(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

double Smooth(double t) {
    return t * t * (3 - 2 * t);
}

// Value noise on a lattice of the given cell size.
double Noise(double x, double y, double cell, int seed) {
    const double fx = x / cell, fy = y / cell;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const double tx = Smooth(fx - ix), ty = Smooth(fy - iy);
    const double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    const double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

unsigned char Clamp(double v) {
    return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    std::vector<unsigned char> pixels(static_cast<std::size_t>(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // Distance from the centre, 0 in the middle, about 1 in the corners.
            const double dx = (x - kWidth / 2.0) / (kWidth / 2.0);
            const double dy = (y - kHeight / 2.0) / (kHeight / 2.0);
            const double vignette = 1.0 - 0.16 * std::pow((dx * dx + dy * dy) / 2.0, 1.2);
            // Large blotches, then fibres stretched along the width.
            const double blotch = Noise(x, y, 90, 1) * 0.6 + Noise(x, y, 35, 2) * 0.4;
            const double fibre = Noise(x, y * 4.0, 6, 3);
            const double shade = vignette * (0.93 + 0.07 * blotch) - 0.025 * (fibre - 0.5);
            const std::size_t at = (static_cast<std::size_t>(y) * kWidth + x) * 3;
            pixels[at + 0] = Clamp(244 * shade);
            pixels[at + 1] = Clamp(231 * shade);
            pixels[at + 2] = Clamp(198 * shade);
        }
    }

    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &pixels[static_cast<std::size_t>(info.next_scanline) * kWidth * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0 ? 0 : 1;
}
