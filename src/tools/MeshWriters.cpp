#include "MeshWriters.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>

namespace TessaroTools {

namespace {

using EdgeAlgebra::kNone;
using EdgeAlgebra::Mesh;

std::size_t vertexCount(const Mesh& mesh) {
    return mesh.coords.size() / 2;
}

std::size_t triangleCount(const Mesh& mesh) {
    return mesh.triangulation.triangles.size() / 3;
}

// "i x y marker" per vertex, numbered from 1.
void writeVertices(TextBlockWriter& w, const Mesh& mesh) {
    const EdgeAlgebra::Triangulation& t = mesh.triangulation;
    std::vector<bool> onBoundary(vertexCount(mesh), false);
    for (std::size_t e = 0; e < t.halfedges.size(); ++e) {
        if (t.halfedges[e] == kNone) {
            onBoundary[t.triangles[e]] =
                onBoundary[t.triangles[EdgeAlgebra::nextHalfedge(static_cast<std::uint32_t>(e))]] =
                    true;
        }
    }
    w.integer(vertexCount(mesh)).text(" 2 0 1\n");
    for (std::size_t v = 0; v < vertexCount(mesh); ++v) {
        w.integer(v + 1).character(' ').pair(mesh.coords[2 * v], mesh.coords[2 * v + 1]);
        w.text(onBoundary[v] ? " 1\n" : " 0\n");
    }
}

} // namespace

void writeNode(std::ostream& out, const Mesh& mesh) {
    TextBlockWriter w(out);
    writeVertices(w, mesh);
}

void writeEle(std::ostream& out, const Mesh& mesh) {
    TextBlockWriter w(out);
    const std::vector<std::uint32_t>& triangles = mesh.triangulation.triangles;
    w.integer(triangleCount(mesh)).text(" 3 0\n");
    for (std::size_t t = 0; t < triangleCount(mesh); ++t) {
        w.integer(t + 1);
        for (std::size_t k = 0; k < 3; ++k) {
            w.character(' ').integer(std::uint64_t{triangles[3 * t + k]} + 1);
        }
        w.character('\n');
    }
}

void writePoly(std::ostream& out, const Mesh& mesh, const std::vector<double>& holes) {
    TextBlockWriter w(out);
    writeVertices(w, mesh);
    const std::size_t pieces = mesh.segments.size() / 3;
    w.integer(pieces).text(" 1\n");
    for (std::size_t k = 0; k < pieces; ++k) {
        w.integer(k + 1).character(' ').integer(std::uint64_t{mesh.segments[3 * k]} + 1);
        w.character(' ').integer(std::uint64_t{mesh.segments[3 * k + 1]} + 1);
        w.character(' ').integer(std::uint64_t{mesh.segments[3 * k + 2]} + 1).character('\n');
    }
    w.integer(holes.size() / 2).character('\n');
    for (std::size_t h = 0; h < holes.size() / 2; ++h) {
        w.integer(h + 1).character(' ').pair(holes[2 * h], holes[2 * h + 1]).character('\n');
    }
}

void writeVtu(std::ostream& out, const Mesh& mesh) {
    TextBlockWriter w(out);
    w.text("<?xml version=\"1.0\"?>\n"
           "<VTKFile type=\"UnstructuredGrid\" version=\"0.1\" byte_order=\"LittleEndian\">\n"
           "<UnstructuredGrid>\n<Piece NumberOfPoints=\"")
        .integer(vertexCount(mesh))
        .text("\" NumberOfCells=\"")
        .integer(triangleCount(mesh))
        .text("\">\n<Points>\n"
              "<DataArray type=\"Float64\" NumberOfComponents=\"3\" format=\"ascii\">\n");
    for (std::size_t v = 0; v < vertexCount(mesh); ++v) {
        w.pair(mesh.coords[2 * v], mesh.coords[2 * v + 1]).text(" 0\n");
    }
    w.text("</DataArray>\n</Points>\n<Cells>\n"
           "<DataArray type=\"Int64\" Name=\"connectivity\" format=\"ascii\">\n");
    const std::vector<std::uint32_t>& triangles = mesh.triangulation.triangles;
    for (std::size_t t = 0; t < triangleCount(mesh); ++t) {
        w.integer(triangles[3 * t]).character(' ').integer(triangles[3 * t + 1]);
        w.character(' ').integer(triangles[3 * t + 2]).character('\n');
    }
    w.text("</DataArray>\n<DataArray type=\"Int64\" Name=\"offsets\" format=\"ascii\">\n");
    for (std::size_t t = 0; t < triangleCount(mesh); ++t) {
        w.integer(3 * (t + 1)).character('\n');
    }
    // 5: VTK_TRIANGLE.
    w.text("</DataArray>\n<DataArray type=\"UInt8\" Name=\"types\" format=\"ascii\">\n");
    for (std::size_t t = 0; t < triangleCount(mesh); ++t) {
        w.text("5\n");
    }
    w.text("</DataArray>\n</Cells>\n</Piece>\n</UnstructuredGrid>\n</VTKFile>\n");
}

void writeMsh(std::ostream& out, const Mesh& mesh) {
    TextBlockWriter w(out);
    w.text("$MeshFormat\n2.2 0 8\n$EndMeshFormat\n$Nodes\n").integer(vertexCount(mesh));
    w.character('\n');
    for (std::size_t v = 0; v < vertexCount(mesh); ++v) {
        w.integer(v + 1).character(' ').pair(mesh.coords[2 * v], mesh.coords[2 * v + 1]);
        w.text(" 0\n");
    }
    const std::size_t pieces = mesh.segments.size() / 3;
    w.text("$EndNodes\n$Elements\n").integer(pieces + triangleCount(mesh)).character('\n');
    std::size_t element = 0;
    // "number type tag-count physical elementary nodes...": type 1, a line.
    for (std::size_t k = 0; k < pieces; ++k) {
        const std::uint64_t segment = std::uint64_t{mesh.segments[3 * k + 2]} + 1;
        w.integer(++element).text(" 1 2 ").integer(segment).character(' ').integer(segment);
        w.character(' ').integer(std::uint64_t{mesh.segments[3 * k]} + 1);
        w.character(' ').integer(std::uint64_t{mesh.segments[3 * k + 1]} + 1).character('\n');
    }
    // Type 2, a triangle.
    const std::vector<std::uint32_t>& triangles = mesh.triangulation.triangles;
    for (std::size_t t = 0; t < triangleCount(mesh); ++t) {
        w.integer(++element).text(" 2 2 0 0");
        for (std::size_t k = 0; k < 3; ++k) {
            w.character(' ').integer(std::uint64_t{triangles[3 * t + k]} + 1);
        }
        w.character('\n');
    }
    w.text("$EndElements\n");
}

void writeMeshStats(std::ostream& out, const Mesh& mesh, std::size_t inputSites) {
    constexpr double kDegrees = 180.0 / 3.14159265358979323846;
    double smallestAngle = 180, largestAngle = 0, smallestArea = HUGE_VAL, largestArea = 0;
    const std::vector<std::uint32_t>& triangles = mesh.triangulation.triangles;
    const auto x = [&mesh](std::uint32_t v) { return mesh.coords[2 * std::size_t{v}]; };
    const auto y = [&mesh](std::uint32_t v) { return mesh.coords[2 * std::size_t{v} + 1]; };
    for (std::size_t e = 0; e < triangles.size(); e += 3) {
        for (std::size_t k = 0; k < 3; ++k) {
            const std::uint32_t a = triangles[e + k], b = triangles[e + (k + 1) % 3],
                                c = triangles[e + (k + 2) % 3];
            const double ux = x(b) - x(a), uy = y(b) - y(a), vx = x(c) - x(a), vy = y(c) - y(a);
            const double cross = ux * vy - uy * vx;
            const double angle = std::atan2(std::fabs(cross), ux * vx + uy * vy) * kDegrees;
            smallestAngle = std::min(smallestAngle, angle);
            largestAngle = std::max(largestAngle, angle);
            if (k == 0) {
                smallestArea = std::min(smallestArea, cross / 2);
                largestArea = std::max(largestArea, cross / 2);
            }
        }
    }
    TextBlockWriter w(out);
    w.text("triangles ").integer(triangleCount(mesh)).character('\n');
    w.text("vertices ").integer(vertexCount(mesh)).text(" (");
    w.integer(vertexCount(mesh) - inputSites).text(" new)\n");
    if (triangles.empty()) {
        return;
    }
    w.text("angles ").number(smallestAngle).text(" to ").number(largestAngle);
    w.text(" degrees\nareas ").number(smallestArea).text(" to ").number(largestArea);
    w.text("\nsmall angles forced by the input ").integer(mesh.forcedSmallAngles).character('\n');
}

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

MeshOutput::MeshOutput(const std::string& path) {
    if (endsWith(path, ".vtu") || endsWith(path, ".msh")) {
        m_kind = endsWith(path, ".vtu") ? Kind::Vtu : Kind::Msh;
        m_files.push_back(std::make_unique<AtomicOutputFile>(path));
        return;
    }
    m_kind = Kind::TriangleFiles;
    const std::string base = path.substr(0, path.rfind('.'));
    for (const char* extension : {".node", ".ele", ".poly"}) {
        m_files.push_back(std::make_unique<AtomicOutputFile>(base + extension));
    }
}

void MeshOutput::write(const Mesh& mesh, const std::vector<double>& holes) {
    switch (m_kind) {
    case Kind::Vtu:
        writeVtu(m_files[0]->stream(), mesh);
        break;
    case Kind::Msh:
        writeMsh(m_files[0]->stream(), mesh);
        break;
    case Kind::TriangleFiles:
        writeNode(m_files[0]->stream(), mesh);
        writeEle(m_files[1]->stream(), mesh);
        writePoly(m_files[2]->stream(), mesh, holes);
        break;
    }
    for (const auto& file : m_files) {
        file->commit();
    }
}

} // namespace TessaroTools
