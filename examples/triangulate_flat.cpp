// The front door: triangulates five sites given as flat coordinates, prints
// each triangle as three site indices, and the Voronoi cell of site 2.
#include <edgealgebra/Triangulate.h>
#include <edgealgebra/Voronoi.h>

#include <iostream>
#include <vector>

int main() {
    // x0, y0, x1, y1, ...: a square's corners and site 2 inside it.
    const std::vector<float> coords{0, 0, 4, 0, 2, 3, 0, 4, 4, 4};
    const EdgeAlgebra::Triangulation t = EdgeAlgebra::triangulate(coords);
    for (std::size_t e = 0; e < t.triangles.size(); e += 3) {
        std::cout << "triangle " << t.triangles[e] << ' ' << t.triangles[e + 1] << ' '
                  << t.triangles[e + 2] << '\n';
    }
    const EdgeAlgebra::Voronoi voronoi(t, coords, EdgeAlgebra::Box{0, 0, 4, 4});
    std::cout << "cell of site 2:";
    for (const auto& [x, y] : voronoi.cell(2)) {
        std::cout << ' ' << x << ' ' << y;
    }
    std::cout << '\n';
    return 0;
}
