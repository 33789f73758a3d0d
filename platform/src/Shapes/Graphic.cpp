#include <algorithm>
#include <cmath>
#include <string>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Graphic.h>
#include <Ostrel/Vision/Strings.h>

#include "ShapeChecks.h"

namespace Ostrel::Vision {

using namespace Private::ShapeChecks;

// ---- GraphicBase ----

GraphicBase::GraphicBase() = default;

GraphicBase::~GraphicBase()
{
    if (childGraphics_)
        Disown(*childGraphics_);
}

GraphicCollection& GraphicBase::ChildGraphics()
{
    if (!childGraphics_) {
        childGraphics_ = Quill::Create<GraphicCollection>();
        Adopt(*childGraphics_);
    }
    return *childGraphics_;
}

const GraphicCollection& GraphicBase::ChildGraphics() const
{
    // Never changed: nothing but a graphic's own collection is ever handed out as mutable.
    static const std::shared_ptr<const GraphicCollection> none = Quill::Create<GraphicCollection>();
    return childGraphics_ ? *childGraphics_ : *none;
}

void GraphicBase::Adopt(GraphicCollection& collection)
{
    collection.owner_ = this;
}

void GraphicBase::Disown(GraphicCollection& collection)
{
    collection.owner_ = nullptr;
}

void GraphicBase::AppendCopies(GraphicCollection& target, const GraphicCollection& source, std::uint32_t mode,
                               const Transform2DLinear* transform)
{
    target.AppendCopiesOf(source, mode, transform);
}

void GraphicBase::setSelectedSpaceName(const std::string& value)
{
    Set_(selectedSpaceName_, value, SfSelectedSpaceName);
}

void GraphicBase::setColor(Color32 value)
{
    Set_(color_, value, SfColor);
}

void GraphicBase::setLineStyle(GraphicLineStyleConstants value)
{
    CheckEnum(value, GraphicLineStyleConstants::Solid, GraphicLineStyleConstants::DashDotDot, "LineStyle");
    Set_(lineStyle_, value, SfLineStyle);
}

void GraphicBase::setLineWidthInScreenPixels(std::int32_t value)
{
    CheckNonNegative(value, "LineWidthInScreenPixels");
    Set_(lineWidthInScreenPixels_, value, SfLineWidthInScreenPixels);
}

void GraphicBase::setInteractive(bool value)
{
    Set_(interactive_, value, SfInteractive);
}

void GraphicBase::setSelectable(bool value)
{
    Set_(selectable_, value, SfSelectable);
}

void GraphicBase::setTipText(const std::string& value)
{
    Set_(tipText_, value, SfTipText);
}

void GraphicBase::setTipText(std::string&& value)
{
    if (tipText_ == value)
        return;
    tipText_ = std::move(value);
    OnChanged_(SfTipText);
}

void GraphicBase::setSelectedColor(Color32 value)
{
    Set_(selectedColor_, value, SfSelectedColor);
}

void GraphicBase::setSelectedLineStyle(GraphicLineStyleConstants value)
{
    CheckEnum(value, GraphicLineStyleConstants::Solid, GraphicLineStyleConstants::DashDotDot, "SelectedLineStyle");
    Set_(selectedLineStyle_, value, SfSelectedLineStyle);
}

void GraphicBase::setGraphicDOFEnable(std::uint32_t value)
{
    Set_(graphicDOFEnable_, value, SfGraphicDOFEnable);
}

bool GraphicBase::ContainsGraphic(const GraphicBase& graphic) const
{
    if (&graphic == this)
        return true;
    OwnedCollections collections;
    AppendOwnedCollections(collections);
    for (const GraphicCollection* collection : collections)
        for (const auto& item : *collection)
            if (item->ContainsGraphic(graphic))
                return true;
    return false;
}

void GraphicBase::AppendOwnedCollections(OwnedCollections& collections) const
{
    if (childGraphics_)
        collections.push_back(childGraphics_.get());
}

void GraphicBase::OnChangedEventRaised(std::uint64_t stateFlags)
{
    if (collections_.empty())
        return;
    // A collection's subscribers may let this graphic go, drop a collection or drop the
    // graphic itself: the graphic and each collection are held for the call, and a
    // collection that left the list meanwhile hears nothing more. A collection that no
    // shared pointer owns (one being destroyed) is skipped.
    const auto self = std::static_pointer_cast<GraphicBase>(weak_from_this().lock());
    const auto holders = collections_;
    for (GraphicCollection* collection : holders) {
        if (std::find(collections_.begin(), collections_.end(), collection) == collections_.end())
            continue;
        if (const auto held = collection->weak_from_this().lock())
            collection->OnGraphicChanged(self, stateFlags);
    }
}

void GraphicBase::OnOwnedCollectionChanged(const GraphicCollection&, std::uint64_t)
{
    OnChanged_(SfChildGraphics);
}

void GraphicBase::CopyGraphicPartsFrom(const GraphicBase& source, std::uint32_t mode,
                                       const Transform2DLinear* childTransform)
{
    auto has = [mode](CopyShapeConstants bit) { return (mode & static_cast<std::uint32_t>(bit)) != 0; };
    if (has(CopyShapeConstants::GraphicProperties)) {
        selectedSpaceName_ = source.selectedSpaceName_;
        color_ = source.color_;
        lineStyle_ = source.lineStyle_;
        lineWidthInScreenPixels_ = source.lineWidthInScreenPixels_;
    }
    if (has(CopyShapeConstants::TipText))
        tipText_ = source.tipText_;
    if (has(CopyShapeConstants::InteractiveProperties)) {
        interactive_ = source.interactive_;
        selectable_ = source.selectable_;
        selectedColor_ = source.selectedColor_;
        selectedLineStyle_ = source.selectedLineStyle_;
    }
    if (has(CopyShapeConstants::GraphicDOF))
        graphicDOFEnable_ = source.graphicDOFEnable_;
    if (has(CopyShapeConstants::ChildGraphics) && source.childGraphics_ && source.childGraphics_->Count() > 0)
        ChildGraphics().AppendCopiesOf(*source.childGraphics_, mode, childTransform);
}

// ---- GraphicCollection ----

GraphicCollection::GraphicCollection(ObjectCreateAccessToken) {}

GraphicCollection::~GraphicCollection()
{
    for (const auto& item : items_)
        Release(*item);
}

const std::shared_ptr<GraphicBase>& GraphicCollection::Item(std::int32_t index) const
{
    CheckIndex(index, Count(), "GraphicCollection::Item");
    return items_[static_cast<std::size_t>(index)];
}

void GraphicCollection::CheckCanAdd(const std::shared_ptr<GraphicBase>& graphic) const
{
    if (!graphic)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"graphic"}));
    if (owner_ && graphic->ContainsGraphic(*owner_))
        throw ArgumentException("The graphic cannot be added: it holds the graphic that owns this collection, "
                                "which would become its own descendant.");
}

void GraphicCollection::Append(std::shared_ptr<GraphicBase> graphic)
{
    GraphicBase& item = *graphic;
    items_.push_back(std::move(graphic));
    try {
        item.collections_.push_back(this);
    } catch (...) {
        items_.pop_back();
        throw;
    }
}

void GraphicCollection::Release(GraphicBase& graphic) const noexcept
{
    auto& holders = graphic.collections_;
    const auto entry = std::find(holders.begin(), holders.end(), this);
    if (entry != holders.end())
        holders.erase(entry);
}

void GraphicCollection::Add(std::shared_ptr<GraphicBase> graphic)
{
    CheckCanAdd(graphic);
    Append(std::move(graphic));
    OnChanged_(SfItems);
}

void GraphicCollection::RemoveAt(std::int32_t index)
{
    CheckIndex(index, Count(), "GraphicCollection::RemoveAt");
    Release(*items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    OnChanged_(SfItems);
}

void GraphicCollection::Clear()
{
    if (items_.empty())
        return;
    for (const auto& item : items_)
        Release(*item);
    items_.clear();
    OnChanged_(SfItems);
}

void GraphicCollection::Reserve(std::int32_t count)
{
    items_.reserve(static_cast<std::size_t>(std::max(count, 0)));
}

std::shared_ptr<GraphicCollection> GraphicCollection::Copy(std::uint32_t copyShapeMode) const
{
    auto copy = Quill::Create<GraphicCollection>();
    copy->AppendCopiesOf(*this, copyShapeMode, nullptr);
    return copy;
}

void GraphicCollection::AppendCopiesOf(const GraphicCollection& source, std::uint32_t mode,
                                       const Transform2DLinear* transform)
{
    for (const auto& item : source.items_) {
        if (transform && item->SelectedSpaceName() == "$")
            Append(item->MapLinearGraphic(*transform, mode));
        else
            Append(item->CopyGraphic(mode));
    }
}

void GraphicCollection::OnGraphicChanged(const std::shared_ptr<GraphicBase>& graphic, std::uint64_t stateFlags)
{
    // The argument that names the graphic is made only for a subscriber; otherwise (and
    // while suspended, when only the flags are kept) this is the plain pass-on.
    if (stateFlags == 0 || ChangedEventSuspended() || !ChangedEventListened()) {
        OnChanged_(stateFlags);
        return;
    }
    Quill::ChangedEventShareableBase::OnChanged_(std::make_shared<GraphicChangedEventArgs>(stateFlags, graphic));
    if (owner_)
        owner_->OnOwnedCollectionChanged(*this, stateFlags);
}

void GraphicCollection::OnChanged_(std::uint64_t stateFlags)
{
    Quill::ChangedEventShareableBase::OnChanged_(stateFlags);
    // While suspended the flags wait for the resume, which comes back through here.
    if (owner_ && stateFlags != 0 && !ChangedEventSuspended())
        owner_->OnOwnedCollectionChanged(*this, stateFlags);
}

// ---- Load-time checks ----

namespace Private::ShapeArchive {

namespace {
// Deeper nesting than any display shows; far below what exhausts the stack.
constexpr int MaxNestingDepth = 64;
thread_local int nestingDepth = 0;

[[noreturn]] void Fail(const char* className, const std::string& problem)
{
    throw SerializationException(std::string(className) + ": " + problem);
}
} // namespace

void CheckNotNull(const void* pointer, const char* what, const char* className)
{
    if (!pointer)
        Fail(className, std::string("the archive holds a null ") + what + ".");
}

void CheckFinite(double value, const char* what, const char* className)
{
    if (!std::isfinite(value))
        Fail(className, std::string("the archived ") + what + " is not a finite number.");
}

void CheckNonNegative(double value, const char* what, const char* className)
{
    CheckFinite(value, what, className);
    if (value < 0)
        Fail(className, std::string("the archived ") + what + " is negative.");
}

void CheckEnumRange(std::int32_t value, std::int32_t first, std::int32_t last, const char* what,
                    const char* className)
{
    if (value < first || value > last)
        Fail(className, std::string("the archived ") + what + " " + std::to_string(value) + " is not between " +
                            std::to_string(first) + " and " + std::to_string(last) + ".");
}

NestingGuard::NestingGuard()
{
    if (nestingDepth >= MaxNestingDepth)
        Fail("GraphicCollection::serialize()",
             "the graphics are nested more than " + std::to_string(MaxNestingDepth) + " deep.");
    ++nestingDepth;
}

NestingGuard::~NestingGuard()
{
    --nestingDepth;
}

} // namespace Private::ShapeArchive

} // namespace Ostrel::Vision
