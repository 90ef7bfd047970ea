#include "ArrayArguments.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace TessaroPython {

std::string shapeText(const py::array& a) {
    std::string text = "(";
    for (py::ssize_t d = 0; d < a.ndim(); ++d) {
        text += (d ? ", " : "") + std::to_string(a.shape(d));
    }
    return text + (a.ndim() == 1 ? ",)" : ")");
}

std::string dtypeText(const py::array& a) {
    return py::str(a.dtype()).cast<std::string>();
}

py::array asArray(py::handle values) {
    return py::module_::import("numpy").attr("asarray")(values).cast<py::array>();
}

bool isNumeric(const py::array& a) {
    const char kind = a.dtype().kind();
    return kind == 'f' || kind == 'i' || kind == 'u';
}

Coordinates coordinates(py::handle values, const char* what) {
    py::array a = asArray(values);
    if (!isNumeric(a)) {
        throw py::type_error(std::string(what) + " must hold real numbers, got dtype " +
                             dtypeText(a));
    }
    if (a.ndim() != 2 || a.shape(1) != 2) {
        throw py::value_error(std::string(what) +
                              " must be an (n, 2) array of x, y rows, got shape " + shapeText(a));
    }
    Coordinates c;
    const bool aligned = (a.flags() & py::detail::npy_api::NPY_ARRAY_ALIGNED_) != 0;
    if (aligned && py::array_t<double, py::array::c_style>::check_(a)) {
        c.array = std::move(a);
    } else if (aligned && py::array_t<float, py::array::c_style>::check_(a)) {
        c.array = std::move(a);
        c.single = true;
    } else {
        c.array = py::array_t<double, py::array::c_style | py::array::forcecast>(a);
    }
    c.data = c.array.data();
    c.count = static_cast<std::size_t>(c.array.size());
    return c;
}

std::vector<double> doubles(const Coordinates& c) {
    if (c.single) {
        const float* p = static_cast<const float*>(c.data);
        return std::vector<double>(p, p + c.count);
    }
    const double* p = static_cast<const double*>(c.data);
    return std::vector<double>(p, p + c.count);
}

std::vector<std::uint32_t> segmentList(py::handle values) {
    py::array a = asArray(values);
    if (a.size() == 0 && a.ndim() <= 2) {
        return {}; // np.asarray([]) is float64: no segments, whatever the dtype
    }
    const char kind = a.dtype().kind();
    if (kind != 'i' && kind != 'u') {
        throw py::type_error("segments must hold integer site indices, got dtype " + dtypeText(a));
    }
    if (a.ndim() == 1 && a.shape(0) % 2 != 0) {
        throw py::value_error("segments must hold pairs of site indices, got an odd number (" +
                              std::to_string(a.shape(0)) + ")");
    }
    if (!(a.ndim() == 1 || (a.ndim() == 2 && a.shape(1) == 2))) {
        throw py::value_error("segments must be a (k, 2) array of site index pairs or a flat "
                              "one of even length, got shape " +
                              shapeText(a));
    }
    // Signed and unsigned integers of any width fit one of these two.
    std::vector<std::uint32_t> result(static_cast<std::size_t>(a.size()));
    const auto take = [&result](std::size_t k, long long index) {
        if (index < 0) {
            throw py::value_error("segment " + std::to_string(k / 2) +
                                  " names a negative site index (" + std::to_string(index) + ")");
        }
        if (static_cast<std::uint64_t>(index) > std::numeric_limits<std::uint32_t>::max()) {
            throw py::value_error("segment " + std::to_string(k / 2) + " names site " +
                                  std::to_string(index) + ", beyond 32-bit site indices");
        }
        result[k] = static_cast<std::uint32_t>(index);
    };
    if (kind == 'u') {
        const auto u = py::array_t<std::uint64_t, py::array::c_style | py::array::forcecast>(a);
        for (std::size_t k = 0; k < result.size(); ++k) {
            take(k, static_cast<long long>(std::min<std::uint64_t>(
                        u.data()[k], std::numeric_limits<long long>::max())));
        }
    } else {
        const auto s = py::array_t<std::int64_t, py::array::c_style | py::array::forcecast>(a);
        for (std::size_t k = 0; k < result.size(); ++k) {
            take(k, static_cast<long long>(s.data()[k]));
        }
    }
    return result;
}

unsigned threadCount(long long threads) {
    if (threads < 0 || threads > std::numeric_limits<unsigned>::max()) {
        throw py::value_error("threads must be 0 (every hardware thread) or a positive number, "
                              "got " +
                              std::to_string(threads));
    }
    return static_cast<unsigned>(threads);
}

void checkRows(const PyTriangulation& tri, const Coordinates& points) {
    if (points.rows() != tri.sites) {
        throw py::value_error("points has " + std::to_string(points.rows()) +
                              " rows, but the triangulation was built on " +
                              std::to_string(tri.sites) + " points");
    }
}

EdgeAlgebra::Box box(py::handle bounds, const char* what) {
    const py::array b = asArray(bounds);
    if (!isNumeric(b)) {
        throw py::type_error(std::string(what) + " must hold real numbers, got dtype " +
                             dtypeText(b));
    }
    if (b.ndim() != 1 || b.shape(0) != 4) {
        throw py::value_error(std::string(what) +
                              " must be four numbers (xmin, ymin, xmax, ymax), got shape " +
                              shapeText(b));
    }
    const auto v = py::array_t<double, py::array::c_style | py::array::forcecast>(b);
    const EdgeAlgebra::Box result{v.at(0), v.at(1), v.at(2), v.at(3)};
    if (!EdgeAlgebra::isFiniteRectangle(result)) {
        throw py::value_error(std::string(what) +
                              " (xmin, ymin, xmax, ymax) must be finite with xmin < xmax "
                              "and ymin < ymax, got " +
                              py::repr(bounds).cast<std::string>());
    }
    return result;
}

} // namespace TessaroPython
