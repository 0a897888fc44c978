// Draws Kestrow's icon (kestrow.ico, 16 and 32 pixels) and the two mode-switch
// bitmaps (switch.bmp, switch_hot.bmp, 24 x 24, 24 bits per pixel): a round
// knob with a thin black outline, crossed by a black wedge running from a
// narrow end at the upper-left rim to a wide end at the lower-right rim.
//
// Remake them from the repository root:
//   g++ -std=c++17 -O2 -o /tmp/make_images resources/make_images.cpp && /tmp/make_images resources
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Colour {
    double r, g, b, a;
};

const Colour kWhite{255, 255, 255, 1};
const Colour kBlack{0, 0, 0, 1};
const Colour kFace{197, 199, 167, 1};
const Colour kFaceLit{213, 215, 183, 1};

struct Point {
    double x, y;
};

// True when `p` lies inside the convex polygon `corners` (clockwise or not).
bool insideConvex(const std::vector<Point>& corners, Point p) {
    int sign = 0;
    for (size_t i = 0; i < corners.size(); ++i) {
        Point a = corners[i];
        Point b = corners[(i + 1) % corners.size()];
        double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        int side = cross > 0 ? 1 : (cross < 0 ? -1 : 0);
        if (side == 0) continue;
        if (sign == 0) sign = side;
        if (side != sign) return false;
    }
    return true;
}

// The knob in a square of `size` pixels; `outside` is what lies beyond the rim.
Colour knobSample(double size, Point p, Colour face, Colour outside) {
    double centre = size / 2;
    double radius = size / 2;
    double outline = size / 24.0 * 1.2;
    double dx = p.x - centre, dy = p.y - centre;
    double distance = std::sqrt(dx * dx + dy * dy);
    if (distance > radius) return outside;
    if (distance > radius - outline) return kBlack;
    const double diagonal = std::sqrt(0.5);
    double reach = radius - outline;
    double narrow = size / 24.0 * 0.8;
    double wide = size / 24.0 * 4.0;
    Point tip{centre - reach * diagonal, centre - reach * diagonal};
    Point base{centre + reach * diagonal, centre + reach * diagonal};
    Point across{diagonal, -diagonal};
    std::vector<Point> wedge = {
        {tip.x + across.x * narrow, tip.y + across.y * narrow},
        {base.x + across.x * wide, base.y + across.y * wide},
        {base.x - across.x * wide, base.y - across.y * wide},
        {tip.x - across.x * narrow, tip.y - across.y * narrow},
    };
    return insideConvex(wedge, p) ? kBlack : face;
}

// One pixel as the average of 4 x 4 samples.
Colour knobPixel(int size, int x, int y, Colour face, Colour outside) {
    Colour sum{0, 0, 0, 0};
    const int grid = 4;
    for (int sy = 0; sy < grid; ++sy) {
        for (int sx = 0; sx < grid; ++sx) {
            Point p{x + (sx + 0.5) / grid, y + (sy + 0.5) / grid};
            Colour c = knobSample(size, p, face, outside);
            sum.r += c.r * c.a;
            sum.g += c.g * c.a;
            sum.b += c.b * c.a;
            sum.a += c.a;
        }
    }
    if (sum.a == 0) return {0, 0, 0, 0};
    return {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / (grid * grid)};
}

uint8_t channel(double value) {
    return static_cast<uint8_t>(std::lround(std::fmin(255, std::fmax(0, value))));
}

void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageSize) {
    put32(out, 40);
    put32(out, width);
    put32(out, height);
    put16(out, 1);
    put16(out, bits);
    put32(out, 0);
    put32(out, imageSize);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
}

std::vector<uint8_t> switchBitmap(Colour face) {
    const int size = 24;
    const uint32_t rowBytes = size * 3;
    const uint32_t imageSize = rowBytes * size;
    std::vector<uint8_t> out = {'B', 'M'};
    put32(out, 14 + 40 + imageSize);
    put32(out, 0);
    put32(out, 14 + 40);
    putInfoHeader(out, size, size, 24, imageSize);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            Colour c = knobPixel(size, x, y, face, kWhite);
            out.push_back(channel(c.b));
            out.push_back(channel(c.g));
            out.push_back(channel(c.r));
        }
    }
    return out;
}

// A 32-bit image with alpha and the matching AND mask, as an icon file holds it.
std::vector<uint8_t> iconImage(int size) {
    const uint32_t maskRowBytes = ((size + 31) / 32) * 4;
    const uint32_t imageSize = size * size * 4 + maskRowBytes * size;
    std::vector<uint8_t> out;
    putInfoHeader(out, size, size * 2, 32, imageSize);
    std::vector<uint8_t> mask;
    const Colour clear{0, 0, 0, 0};
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> maskRow(maskRowBytes, 0);
        for (int x = 0; x < size; ++x) {
            Colour c = knobPixel(size, x, y, kFace, clear);
            out.push_back(channel(c.b));
            out.push_back(channel(c.g));
            out.push_back(channel(c.r));
            out.push_back(channel(c.a * 255));
            if (c.a < 0.5) maskRow[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        mask.insert(mask.end(), maskRow.begin(), maskRow.end());
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

std::vector<uint8_t> iconFile(const std::vector<int>& sizes) {
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) images.push_back(iconImage(size));
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<uint32_t>(sizes.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(0);
        out.push_back(0);
        put16(out, 1);
        put16(out, 32);
        put32(out, static_cast<uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : ".";
    bool ok = writeFile(folder + "/switch.bmp", switchBitmap(kFace)) &&
              writeFile(folder + "/switch_hot.bmp", switchBitmap(kFaceLit)) &&
              writeFile(folder + "/kestrow.ico", iconFile({16, 32}));
    if (!ok) std::fprintf(stderr, "make_images: cannot write into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
