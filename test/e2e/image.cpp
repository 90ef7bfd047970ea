#include "image.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace e2e {

namespace {

// The cleared background: glClearColor(0.5, 0.5, 0.7) in 8-bit channels
// (127 or 128, 178 or 179 depending on rounding).
bool isBackground(Rgb p) {
    auto near = [](int value, int expected) {
        return value >= expected - 2 && value <= expected + 2;
    };
    return near(p.r, 128) && near(p.g, 128) && near(p.b, 178);
}

} // namespace

bool operator==(const Rgb& a, const Rgb& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

const char* hueName(Hue hue) {
    switch (hue) {
    case Hue::Background:
        return "background";
    case Hue::Red:
        return "red";
    case Hue::Green:
        return "green";
    case Hue::Blue:
        return "blue";
    case Hue::Other:
        break;
    }
    return "other";
}

Hue classify(Rgb p) {
    if (isBackground(p)) {
        return Hue::Background;
    }
    const int r = p.r;
    const int g = p.g;
    const int b = p.b;
    // The background itself has b - r = 51, so blue needs a wider margin.
    if (r > g + 60 && r > b + 40) {
        return Hue::Red;
    }
    if (g > r + 60 && g > b + 40) {
        return Hue::Green;
    }
    if (b > r + 75 && b > g + 75) {
        return Hue::Blue;
    }
    return Hue::Other;
}

Image::Image(int width, int height)
    : m_width(width), m_height(height),
      m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

bool Image::contains(int col, int row) const {
    return col >= 0 && row >= 0 && col < m_width && row < m_height;
}

Rgb Image::at(int col, int row) const {
    return m_pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_width) +
                    static_cast<std::size_t>(col)];
}

void Image::set(int col, int row, Rgb pixel) {
    m_pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_width) +
             static_cast<std::size_t>(col)] = pixel;
}

Image Image::crop(int left, int top, int width, int height) const {
    if (!contains(left, top) || !contains(left + width - 1, top + height - 1)) {
        throw std::out_of_range("crop rectangle outside the image");
    }
    Image part(width, height);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            part.set(col, row, at(left + col, top + row));
        }
    }
    return part;
}

void Image::writePpm(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << m_width << ' ' << m_height << "\n255\n";
    for (const Rgb& p : m_pixels) {
        const char bytes[3] = {static_cast<char>(p.r), static_cast<char>(p.g),
                               static_cast<char>(p.b)};
        out.write(bytes, 3);
    }
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

void Image::writePng(const std::string& path) const {
    const std::string ppm = path + ".ppm";
    writePpm(ppm);
    const pid_t child = fork();
    if (child == 0) {
        // -strip keeps time stamps out of the file, so that an unchanged
        // picture gives an unchanged PNG.
        execlp("convert", "convert", ppm.c_str(), "-strip", path.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = -1;
    if (child > 0) {
        waitpid(child, &status, 0);
    }
    std::remove(ppm.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("convert failed to write " + path);
    }
}

} // namespace e2e
