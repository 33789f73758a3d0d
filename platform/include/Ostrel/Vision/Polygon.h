#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include <Ostrel/Vision/Graphic.h>

namespace Ostrel::Vision {

namespace Private {
class OutlineIndex;
}

// A closed polygon through its vertices in order; the last vertex joins the first. A new
// polygon has no vertices. Every change of the vertex list raises SfVertices.
class Polygon : public GraphicBase {
public:
    static constexpr std::uint64_t sf0_ = GraphicBase::sfGeometry0_;
    static constexpr std::uint64_t SfVertices = 0x40000;
    static constexpr std::uint64_t sfNextSf_ = 0x80000;

    explicit Polygon(ObjectCreateAccessToken);
    ~Polygon() override;

    std::int32_t NumVertices() const { return static_cast<std::int32_t>(vertices_.size()); }
    // The index checks throw ArgumentOutOfRangeException outside 0 <= i < NumVertices().
    double VertexX(std::int32_t index) const;
    double VertexY(std::int32_t index) const;
    // The vertices (x, y) in order, for reading many at once.
    const std::vector<std::pair<double, double>>& Vertices() const { return vertices_; }
    void AddVertex(double x, double y);
    void SetVertex(std::int32_t index, double x, double y);
    void RemoveVertex(std::int32_t index);

    std::shared_ptr<Polygon> Copy(std::uint32_t copyShapeMode) const;
    // Every vertex mapped by `transform`.
    std::shared_ptr<Polygon> MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const;

    // The first vertex; the origin for a polygon without vertices.
    void GetReferencePoint(double& x, double& y) const override;
    std::shared_ptr<GraphicBase> CopyGraphic(std::uint32_t copyShapeMode) const override;
    std::shared_ptr<GraphicBase> MapLinearGraphic(const Transform2DLinear& transform,
                                                  std::uint32_t copyShapeMode) const override;

    // For repeated distance queries on an unchanged outline: an index over the vertices as
    // mapped by `mapping`, built when a second query with that mapping asks for it on a
    // polygon of at least IndexedVertexCount vertices, and dropped by every change of the
    // vertex list. Returns nullptr while there is none for `mapping` (the caller makes a
    // pass). Safe for concurrent readers: racing builders install one index, the others
    // discard theirs; the index is never replaced while the vertices stay the same.
    const Private::OutlineIndex* OutlineIndexFor(const Transform2DLinear& mapping) const;
    static constexpr std::size_t IndexedVertexCount = 256;

private:
    friend class cereal::access;
    Polygon() : Polygon(MakeAccessToken()) {}

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        constexpr const char* name = "Polygon::serialize()";
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, name);
        ar(cereal::base_class<GraphicBase>(this), vertices_);
        if constexpr (Archive::is_loading::value) {
            for (const auto& [x, y] : vertices_) {
                Private::ShapeArchive::CheckFinite(x, "vertex x", name);
                Private::ShapeArchive::CheckFinite(y, "vertex y", name);
            }
            DropOutlineIndex();
        }
    }

    void DropOutlineIndex();

    std::vector<std::pair<double, double>> vertices_;
    mutable std::atomic<const Private::OutlineIndex*> outlineIndex_{nullptr};
    mutable std::atomic<std::uint32_t> unindexedQueries_{0};

    RTTR_ENABLE(GraphicBase)
};

} // namespace Ostrel::Vision

CEREAL_CLASS_VERSION(Ostrel::Vision::Polygon, 1)
