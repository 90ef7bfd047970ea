// The functions the JavaScript module calls. Every result is handed over as a
// block the caller frees with the matching function; a failure returns null
// (or -1) and leaves the core's message for tessaro_error_message().
#include "ReverseOrientation.h"

#include <edgealgebra/Box.h>
#include <edgealgebra/KeepEnclosed.h>
#include <edgealgebra/Locate.h>
#include <edgealgebra/Triangulate.h>
#include <edgealgebra/Voronoi.h>

#include <emscripten/emscripten.h>
#include <malloc.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// What the JavaScript side throws: a RangeError for input the core refuses,
// an Error for anything else (memory exhausted).
enum ErrorKind : int { kNoError = 0, kRangeError = 1, kOtherError = 2 };

ErrorKind g_errorKind = kNoError;
std::string g_errorMessage;

void fail(ErrorKind kind, const char* message) {
    g_errorKind = kind;
    g_errorMessage = message;
}

// Runs `work`, turning an exception into the error state and `failed`.
template <typename Work, typename Result>
Result guarded(Work&& work, Result failed) {
    g_errorKind = kNoError;
    g_errorMessage.clear();
    try {
        return work();
    } catch (const std::invalid_argument& error) {
        fail(kRangeError, error.what());
    } catch (const std::length_error& error) {
        fail(kRangeError, error.what());
    } catch (const std::out_of_range& error) {
        fail(kRangeError, error.what());
    } catch (const std::bad_alloc&) {
        fail(kOtherError, "out of memory");
    } catch (const std::exception& error) {
        fail(kOtherError, error.what());
    }
    return failed;
}

// A triangulation in delaunator's order, with the addresses and lengths of
// its arrays laid out for the JavaScript side to read in one go.
struct WebTriangulation {
    EdgeAlgebra::Triangulation arrays;
    std::uint32_t layout[7] = {};

    void publish() {
        auto address = [](const auto& vector) {
            return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(vector.data()));
        };
        layout[0] = address(arrays.triangles);
        layout[1] = static_cast<std::uint32_t>(arrays.triangles.size());
        layout[2] = address(arrays.halfedges);
        layout[3] = address(arrays.hull);
        layout[4] = static_cast<std::uint32_t>(arrays.hull.size());
        layout[5] = address(arrays.constrained);
        layout[6] = static_cast<std::uint32_t>(arrays.constrained.size());
    }
};

std::vector<std::uint32_t> indices(const std::uint32_t* values, std::size_t count) {
    return std::vector<std::uint32_t>(values, values + count);
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int tessaro_error_kind() {
    return g_errorKind;
}

EMSCRIPTEN_KEEPALIVE const char* tessaro_error_message() {
    return g_errorMessage.c_str();
}

// Bytes of the module's heap in use, for the leak checks and the benchmark.
EMSCRIPTEN_KEEPALIVE std::size_t tessaro_heap_in_use() {
    return static_cast<std::size_t>(mallinfo().uordblks);
}

// Triangulates `count` coordinates read in place, with `segmentCount` site
// indices of segments when `withSegments` is set.
EMSCRIPTEN_KEEPALIVE WebTriangulation* tessaro_triangulate(const double* coords, std::size_t count,
                                                           const std::uint32_t* segments,
                                                           std::size_t segmentCount,
                                                           int withSegments) {
    return guarded(
        [&] {
            auto result = std::make_unique<WebTriangulation>();
            // One thread: the module is built without threads.
            result->arrays =
                withSegments
                    ? EdgeAlgebra::triangulate(coords, count, indices(segments, segmentCount), 1)
                    : EdgeAlgebra::triangulate(coords, count, 1);
            TessaroWeb::reverseOrientation(result->arrays);
            result->publish();
            return result.release();
        },
        static_cast<WebTriangulation*>(nullptr));
}

// A triangulation given in delaunator's order (as JavaScript holds it), for
// keepEnclosed and the Voronoi diagram: arrays of the lengths given, filled
// by the caller through tessaro_layout.
EMSCRIPTEN_KEEPALIVE WebTriangulation*
tessaro_triangulation_create(std::size_t halfedgeCount, std::size_t hullCount, int constrained) {
    return guarded(
        [&] {
            auto result = std::make_unique<WebTriangulation>();
            result->arrays.triangles.resize(halfedgeCount);
            result->arrays.halfedges.resize(halfedgeCount);
            result->arrays.hull.resize(hullCount);
            result->arrays.constrained.resize(constrained ? halfedgeCount : 0);
            result->publish();
            return result.release();
        },
        static_cast<WebTriangulation*>(nullptr));
}

EMSCRIPTEN_KEEPALIVE const std::uint32_t* tessaro_layout(const WebTriangulation* triangulation) {
    return triangulation->layout;
}

EMSCRIPTEN_KEEPALIVE void tessaro_triangulation_free(WebTriangulation* triangulation) {
    delete triangulation;
}

// Carves the triangulation in place to the domain its segments enclose,
// less what the hole points (x0, y0, ...) reach; 0 on success, -1 on error.
EMSCRIPTEN_KEEPALIVE int tessaro_keep_enclosed(WebTriangulation* triangulation,
                                               const double* coords, std::size_t count,
                                               const double* holes, std::size_t holeCount) {
    return guarded(
        [&] {
            TessaroWeb::reverseOrientation(triangulation->arrays);
            EdgeAlgebra::keepEnclosed(triangulation->arrays,
                                      std::vector<double>(coords, coords + count),
                                      std::vector<double>(holes, holes + holeCount));
            TessaroWeb::reverseOrientation(triangulation->arrays);
            triangulation->publish();
            return 0;
        },
        -1);
}

// The Voronoi diagram of a triangulation, with a buffer for one cell.
struct WebVoronoi {
    EdgeAlgebra::Voronoi voronoi;
    std::vector<double> cell;
};

EMSCRIPTEN_KEEPALIVE WebVoronoi* tessaro_voronoi(const WebTriangulation* triangulation,
                                                 const double* coords, std::size_t count,
                                                 double xmin, double ymin, double xmax,
                                                 double ymax) {
    return guarded(
        [&] {
            EdgeAlgebra::Triangulation counterclockwise = triangulation->arrays;
            TessaroWeb::reverseOrientation(counterclockwise);
            return new WebVoronoi{EdgeAlgebra::Voronoi(std::move(counterclockwise),
                                                       std::vector<double>(coords, coords + count),
                                                       EdgeAlgebra::Box{xmin, ymin, xmax, ymax}),
                                  {}};
        },
        static_cast<WebVoronoi*>(nullptr));
}

EMSCRIPTEN_KEEPALIVE const double* tessaro_voronoi_circumcenters(const WebVoronoi* voronoi) {
    return voronoi->voronoi.circumcenters().data();
}

EMSCRIPTEN_KEEPALIVE std::size_t tessaro_voronoi_circumcenter_count(const WebVoronoi* voronoi) {
    return voronoi->voronoi.circumcenters().size();
}

// The cell of site i into the voronoi's buffer (tessaro_voronoi_cell_data),
// its corners clockwise with y up as delaunator's triangles: returns the
// number of corners, or -1 on error.
EMSCRIPTEN_KEEPALIVE int tessaro_voronoi_cell(WebVoronoi* voronoi, std::size_t i) {
    return guarded(
        [&] {
            const EdgeAlgebra::Voronoi::Polygon polygon = voronoi->voronoi.cell(i);
            voronoi->cell.clear();
            for (auto corner = polygon.rbegin(); corner != polygon.rend(); ++corner) {
                voronoi->cell.push_back((*corner)[0]);
                voronoi->cell.push_back((*corner)[1]);
            }
            return static_cast<int>(polygon.size());
        },
        -1);
}

EMSCRIPTEN_KEEPALIVE const double* tessaro_voronoi_cell_data(const WebVoronoi* voronoi) {
    return voronoi->cell.data();
}

EMSCRIPTEN_KEEPALIVE void tessaro_voronoi_free(WebVoronoi* voronoi) {
    delete voronoi;
}

// Point location over a triangulation given in delaunator's order. The
// Locator answers triangle numbers, which the reversal of the corners keeps.
EMSCRIPTEN_KEEPALIVE EdgeAlgebra::Locator*
tessaro_locator(const WebTriangulation* triangulation, const double* coords, std::size_t count) {
    return guarded(
        [&] {
            EdgeAlgebra::Triangulation counterclockwise = triangulation->arrays;
            TessaroWeb::reverseOrientation(counterclockwise);
            return new EdgeAlgebra::Locator(counterclockwise,
                                            std::vector<double>(coords, coords + count), 1);
        },
        static_cast<EdgeAlgebra::Locator*>(nullptr));
}

// The triangle that holds (x, y), or -1 outside the triangulation.
EMSCRIPTEN_KEEPALIVE int tessaro_locator_find(const EdgeAlgebra::Locator* locator, double x,
                                              double y) {
    const std::uint32_t t = locator->find(x, y);
    return t == EdgeAlgebra::kNone ? -1 : static_cast<int>(t);
}

// The site nearest to (x, y), the lowest index among equally near ones; -1
// when no site takes part in the triangulation.
EMSCRIPTEN_KEEPALIVE int tessaro_locator_nearest(const EdgeAlgebra::Locator* locator, double x,
                                                 double y) {
    const std::uint32_t i = locator->nearest(x, y);
    return i == EdgeAlgebra::kNone ? -1 : static_cast<int>(i);
}

EMSCRIPTEN_KEEPALIVE void tessaro_locator_free(EdgeAlgebra::Locator* locator) {
    delete locator;
}

} // extern "C"
