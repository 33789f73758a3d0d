#include <Ostrel/Vision/Polygon.h>

#include <Ostrel/Vision/Private/Polyline.h>

#include "ShapeChecks.h"
#include "ShapeMath.h"

namespace Ostrel::Vision {

using namespace Private::ShapeChecks;
using namespace Private::ShapeMath;

Polygon::Polygon(ObjectCreateAccessToken) {}

Polygon::~Polygon()
{
    delete outlineIndex_.load(std::memory_order_relaxed);
}

void Polygon::DropOutlineIndex()
{
    delete outlineIndex_.exchange(nullptr, std::memory_order_acq_rel);
    unindexedQueries_.store(0, std::memory_order_relaxed);
}

const Private::OutlineIndex* Polygon::OutlineIndexFor(const Transform2DLinear& mapping) const
{
    if (const auto* index = outlineIndex_.load(std::memory_order_acquire))
        return index->MappedBy(mapping) ? index : nullptr;
    // The first query pays one pass; an index is worth building only for the second.
    if (vertices_.size() < IndexedVertexCount || unindexedQueries_.fetch_add(1, std::memory_order_relaxed) < 1)
        return nullptr;
    std::vector<Private::Point2D> mapped(vertices_.size());
    for (std::size_t i = 0; i < vertices_.size(); ++i)
        mapping.MapPoint(vertices_[i].first, vertices_[i].second, mapped[i].x, mapped[i].y);
    auto built = std::make_unique<const Private::OutlineIndex>(std::move(mapped), mapping);
    const Private::OutlineIndex* expected = nullptr;
    if (outlineIndex_.compare_exchange_strong(expected, built.get(), std::memory_order_acq_rel))
        return built.release();
    return expected->MappedBy(mapping) ? expected : nullptr; // another reader installed one first
}

double Polygon::VertexX(std::int32_t index) const
{
    CheckIndex(index, NumVertices(), "VertexX");
    return vertices_[static_cast<std::size_t>(index)].first;
}

double Polygon::VertexY(std::int32_t index) const
{
    CheckIndex(index, NumVertices(), "VertexY");
    return vertices_[static_cast<std::size_t>(index)].second;
}

void Polygon::AddVertex(double x, double y)
{
    CheckFinite(x, "x");
    CheckFinite(y, "y");
    DropOutlineIndex();
    vertices_.emplace_back(x, y);
    OnChanged_(SfVertices);
}

void Polygon::SetVertex(std::int32_t index, double x, double y)
{
    CheckIndex(index, NumVertices(), "SetVertex");
    CheckFinite(x, "x");
    CheckFinite(y, "y");
    DropOutlineIndex();
    auto& vertex = vertices_[static_cast<std::size_t>(index)];
    OnChanged_(Assign_(vertex, std::pair{x, y}, SfVertices));
}

void Polygon::RemoveVertex(std::int32_t index)
{
    CheckIndex(index, NumVertices(), "RemoveVertex");
    DropOutlineIndex();
    vertices_.erase(vertices_.begin() + index);
    OnChanged_(SfVertices);
}

std::shared_ptr<Polygon> Polygon::Copy(std::uint32_t copyShapeMode) const
{
    auto copy = Quill::Create<Polygon>();
    copy->CopyGraphicPartsFrom(*this, copyShapeMode);
    copy->vertices_ = vertices_;
    return copy;
}

std::shared_ptr<Polygon> Polygon::MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const
{
    CheckTransform(transform);
    std::vector<std::pair<double, double>> vertices(vertices_.size());
    for (std::size_t i = 0; i < vertices_.size(); ++i) {
        transform.MapPoint(vertices_[i].first, vertices_[i].second, vertices[i].first, vertices[i].second);
        CheckMappedFinite({vertices[i].first, vertices[i].second});
    }
    // Children hang on the first vertex, which the mapping moves; without vertices they
    // hang on the origin, which it moves too.
    const Transform2DLinear childTransform = vertices_.empty() ? transform : LinearPart(transform);
    auto mapped = Quill::Create<Polygon>();
    mapped->CopyGraphicPartsFrom(*this, copyShapeMode, &childTransform);
    mapped->vertices_ = std::move(vertices);
    return mapped;
}

void Polygon::GetReferencePoint(double& x, double& y) const
{
    x = vertices_.empty() ? 0.0 : vertices_.front().first;
    y = vertices_.empty() ? 0.0 : vertices_.front().second;
}

std::shared_ptr<GraphicBase> Polygon::CopyGraphic(std::uint32_t copyShapeMode) const
{
    return Copy(copyShapeMode);
}

std::shared_ptr<GraphicBase> Polygon::MapLinearGraphic(const Transform2DLinear& transform,
                                                       std::uint32_t copyShapeMode) const
{
    return MapLinear(transform, copyShapeMode);
}

} // namespace Ostrel::Vision
