// Draws the splash program's built-in picture (460 x 281) and writes it as a JPEG file:
//   make_splash_picture OUT.jpg
// A night-blue sky with a soft glow, a ring of light, a stylised padlock and a row of hills.
// Everything is computed per pixel, so the output is the same on every build.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

constexpr int W = 460;
constexpr int H = 281;

struct TRgb {
    double R, G, B;
};

TRgb Mix(TRgb A, TRgb B, double T)
{
    T = T < 0 ? 0 : (T > 1 ? 1 : T);
    return {A.R + (B.R - A.R) * T, A.G + (B.G - A.G) * T, A.B + (B.B - A.B) * T};
}

double Smooth(double Edge0, double Edge1, double X)
{
    double t = (X - Edge0) / (Edge1 - Edge0);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return t * t * (3 - 2 * t);
}

// Distance from (x, y) to a rounded rectangle centred at (cx, cy) with half sizes hw, hh, radius r.
double RoundRect(double x, double y, double cx, double cy, double hw, double hh, double r)
{
    const double dx = std::fabs(x - cx) - (hw - r);
    const double dy = std::fabs(y - cy) - (hh - r);
    const double ox = dx > 0 ? dx : 0;
    const double oy = dy > 0 ? dy : 0;
    return std::sqrt(ox * ox + oy * oy) + std::fmin(std::fmax(dx, dy), 0.0) - r;
}

TRgb Pixel(double x, double y)
{
    // Sky: deep blue at the top to a teal horizon.
    TRgb c = Mix(TRgb{14, 24, 56}, TRgb{38, 96, 128}, y / H);
    // The glow behind the lock.
    const double cx = W * 0.5, cy = H * 0.44;
    const double d = std::hypot(x - cx, (y - cy) * 1.1);
    c = Mix(c, TRgb{120, 190, 220}, 0.55 * std::exp(-d * d / (2 * 70.0 * 70.0)));
    // A thin ring of light.
    c = Mix(c, TRgb{200, 235, 250}, 0.8 * (1 - Smooth(0.0, 2.2, std::fabs(d - 96))));
    // Stars: a fixed scatter of small points in the upper sky.
    for (int i = 0; i < 40; ++i) {
        // A small integer hash spreads them without pattern.
        const unsigned h = static_cast<unsigned>(i + 1) * 2654435761u;
        const double sx = (h % 1000u) / 1000.0 * W;
        const double sy = ((h / 1000u) % 1000u) / 1000.0 * H * 0.42;
        const double sd = std::hypot(x - sx, y - sy);
        c = Mix(c, TRgb{240, 245, 255}, 0.9 * (1 - Smooth(0.0, 1.4, sd)));
    }
    // The padlock: a shackle (a thick arc) over a rounded body with a keyhole.
    const double bodyTop = cy - 6, bodyH = 58, bodyW = 72;
    const double shackle = std::fabs(std::hypot(x - cx, y - (bodyTop)) - 26);
    const bool upper = y < bodyTop;
    if (upper)
        c = Mix(c, TRgb{196, 205, 214}, 1 - Smooth(4.5, 6.0, shackle));
    const double body = RoundRect(x, y, cx, bodyTop + bodyH / 2, bodyW / 2, bodyH / 2, 9);
    const TRgb metal = Mix(TRgb{232, 186, 92}, TRgb{170, 112, 40}, (y - bodyTop) / bodyH);
    c = Mix(c, metal, 1 - Smooth(-0.5, 1.0, body));
    c = Mix(c, TRgb{255, 236, 180}, 0.7 * (1 - Smooth(0.0, 1.5, std::fabs(body + 3))) * (y < bodyTop + 20 ? 1 : 0));
    const double hole = std::hypot(x - cx, y - (bodyTop + 24));
    const double slot = RoundRect(x, y, cx, bodyTop + 36, 3, 11, 2);
    c = Mix(c, TRgb{40, 28, 20}, 1 - Smooth(6.0, 7.2, hole));
    c = Mix(c, TRgb{40, 28, 20}, 1 - Smooth(-0.5, 0.8, slot));
    // Hills along the bottom, two layers.
    const double far = H - 58 + 14 * std::sin(x / 47.0) + 8 * std::sin(x / 19.0 + 1.3);
    c = Mix(c, TRgb{22, 60, 76}, Smooth(far - 1, far + 1, y));
    const double near = H - 30 + 10 * std::sin(x / 61.0 + 2.1) + 5 * std::sin(x / 23.0);
    c = Mix(c, TRgb{12, 34, 44}, Smooth(near - 1, near + 1, y));
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_splash_picture OUT.jpg\n");
        return 2;
    }
    std::vector<unsigned char> rows(static_cast<size_t>(W) * H * 3);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            // Four samples per pixel smooth the edges.
            TRgb sum{0, 0, 0};
            for (int s = 0; s < 4; ++s) {
                const TRgb p = Pixel(x + 0.25 + 0.5 * (s & 1), y + 0.25 + 0.5 * (s >> 1));
                sum = {sum.R + p.R / 4, sum.G + p.G / 4, sum.B + p.B / 4};
            }
            unsigned char* out = &rows[(static_cast<size_t>(y) * W + x) * 3];
            out[0] = static_cast<unsigned char>(std::lround(sum.R));
            out[1] = static_cast<unsigned char>(std::lround(sum.G));
            out[2] = static_cast<unsigned char>(std::lround(sum.B));
        }
    FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "make_splash_picture: cannot create %s\n", argv[1]);
        return 1;
    }
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = W;
    info.image_height = H;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &rows[static_cast<size_t>(info.next_scanline) * W * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
    return 0;
}
