// An RGB picture read back from the X server, with the colour classes the
// checks of the program's window work with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

bool operator==(const Rgb& a, const Rgb& b);

// What a pixel of the program's window shows. The program draws pure colours,
// but anti-aliased lines may blend with the background, so a pixel belongs to
// a class when its dominant channel stands out clearly; a pixel that fits no
// class (menu grey, text black, a faint blend) is Other.
enum class Hue { Background, Red, Green, Blue, Other };

const char* hueName(Hue hue);
Hue classify(Rgb pixel);

class Image {
public:
    Image() = default;
    Image(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool contains(int col, int row) const;
    Rgb at(int col, int row) const;
    void set(int col, int row, Rgb pixel);
    Hue hueAt(int col, int row) const { return classify(at(col, row)); }

    // A part of the picture; the rectangle must lie inside it.
    Image crop(int left, int top, int width, int height) const;

    // Writes a binary PPM (P6).
    void writePpm(const std::string& path) const;
    // Writes a PNG through ImageMagick's convert; throws when that fails.
    void writePng(const std::string& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<Rgb> m_pixels;
};

} // namespace e2e
