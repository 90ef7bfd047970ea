#pragma once

#include "AtomicOutputFile.h"

#include <edgealgebra/Refine.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace TessaroTools {

// The files a solver reads a mesh from. All number vertices and triangles
// from 1 and write every coordinate as the shortest text that reads back as
// the same double.
//
// Triangle's text formats: `.node` (count, 2, 0 attributes, 1 marker; then
// "i x y marker", the marker 1 on the domain's boundary), `.ele` (count, 3,
// 0; then "i a b c", counterclockwise) and `.poly` (the vertices again, so
// that it stands alone; the segment pieces "i a b marker", the marker the
// input segment's number from 1; the hole points).
void writeNode(std::ostream& out, const EdgeAlgebra::Mesh& mesh);
void writeEle(std::ostream& out, const EdgeAlgebra::Mesh& mesh);
void writePoly(std::ostream& out, const EdgeAlgebra::Mesh& mesh, const std::vector<double>& holes);
// VTK's XML unstructured grid, ASCII: the points (z = 0) and the triangles.
void writeVtu(std::ostream& out, const EdgeAlgebra::Mesh& mesh);
// Gmsh's 2.2 ASCII format: the nodes, the segment pieces as 2-node lines
// (physical and elementary tag: the input segment's number from 1) and the
// triangles (tags 0).
void writeMsh(std::ostream& out, const EdgeAlgebra::Mesh& mesh);

// The mesh's triangle and vertex counts and its smallest and largest angle
// and area, one per line.
void writeMeshStats(std::ostream& out, const EdgeAlgebra::Mesh& mesh, std::size_t inputSites);

// The mesh file(s) that --mesh PATH names, opened before the mesh is made (so
// that an unusable path fails first) and replacing their targets only when
// all of them are written: PATH's .node, .ele and .poly, or the one .vtu or
// .msh file.
class MeshOutput {
public:
    explicit MeshOutput(const std::string& path);
    void write(const EdgeAlgebra::Mesh& mesh, const std::vector<double>& holes);

private:
    enum class Kind { TriangleFiles, Vtu, Msh };
    Kind m_kind;
    std::vector<std::unique_ptr<AtomicOutputFile>> m_files;
};

} // namespace TessaroTools
