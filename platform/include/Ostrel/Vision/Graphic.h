#pragma once
// The common part of every graphic: the space it is expressed in, its style, its
// interactive behaviour and its child graphics; and GraphicCollection, the ordered list
// of shared graphics used for child graphics, composite members and record contents.
//
// State flags. All graphics share one layout, so that a subscriber can tell a change of
// where a graphic lies from a change of how it looks with one mask, GeometryStateFlags:
//
//   0x1               SelectedSpaceName (a new space moves a graphic as surely as new
//                     coordinates)
//   0x2 ... 0x400     the common properties of GraphicBase, below
//   0x800 ... 0x4000  a class's own properties that leave its geometry alone (adornments,
//                     a marker's symbol, a label's text and alignment)
//   0x8000            the membership of a GraphicCollection (GraphicCollection::SfItems);
//                     counted as geometry, since a member that comes or goes changes
//                     what a composite covers
//   0x10000, 0x20000  a composite shape's ID and composition mode
//   0x40000 upwards   a class's geometry, one flag per property in declaration order
//
// A setter compares, stores and raises the property's flag; an equal value raises
// nothing. A setter of several values raises one event with the flags of those that
// changed. A graphic raises SfChildGraphics when its child graphics change, in membership
// or in themselves.
//
// A graphic knows the collections that hold it and passes each of its changed events on
// to them after its own subscribers had it, with no signal connection per membership:
// records hold thousands of graphics, and a connection costs several allocations. A
// collection raises such a passed-on change with a GraphicChangedEventArgs that names the
// graphic, so that one subscriber to a collection learns which of its graphics changed.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <boost/container/small_vector.hpp>

#include <Ostrel/Quill/ChangedEvent.h>
#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Cereal.h>
#include <Ostrel/Vision/Color32.h>
#include <Ostrel/Vision/GraphicConstants.h>
#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision {

class GraphicBase;
class GraphicCollection;

// What a display needs to let a user work with a graphic.
class IGraphicInteractive : public virtual Quill::IObject {
public:
    // The master switch: an interactive graphic shows its tip text, can be selected (if
    // Selectable) and dragged (as far as GraphicDOFEnable allows).
    virtual bool Interactive() const = 0;
    virtual void setInteractive(bool value) = 0;
    virtual bool Selectable() const = 0;
    virtual void setSelectable(bool value) = 0;
    virtual const std::string& TipText() const = 0;
    virtual void setTipText(const std::string& value) = 0;
    // How the graphic is drawn while selected.
    virtual Color32 SelectedColor() const = 0;
    virtual void setSelectedColor(Color32 value) = 0;
    virtual GraphicLineStyleConstants SelectedLineStyle() const = 0;
    virtual void setSelectedLineStyle(GraphicLineStyleConstants value) = 0;
    // Bit mask of what dragging may change; each class names its bits, 0x80000000 moves
    // the graphic as a whole.
    virtual std::uint32_t GraphicDOFEnable() const = 0;
    virtual void setGraphicDOFEnable(std::uint32_t value) = 0;

    RTTR_ENABLE(Quill::IObject)
};

class GraphicBase : public Quill::ChangedEventShareableBase, public virtual IGraphicInteractive {
public:
    static constexpr std::uint64_t sf0_ = 0x1;
    static constexpr std::uint64_t SfSelectedSpaceName = 0x1;
    static constexpr std::uint64_t SfColor = 0x2;
    static constexpr std::uint64_t SfLineStyle = 0x4;
    static constexpr std::uint64_t SfLineWidthInScreenPixels = 0x8;
    static constexpr std::uint64_t SfTipText = 0x10;
    static constexpr std::uint64_t SfInteractive = 0x20;
    static constexpr std::uint64_t SfSelectable = 0x40;
    static constexpr std::uint64_t SfSelectedColor = 0x80;
    static constexpr std::uint64_t SfSelectedLineStyle = 0x100;
    static constexpr std::uint64_t SfGraphicDOFEnable = 0x200;
    static constexpr std::uint64_t SfChildGraphics = 0x400;
    static constexpr std::uint64_t sfNextSf_ = 0x800;
    // The first flag of a class's geometry.
    static constexpr std::uint64_t sfGeometry0_ = 0x40000;
    // The flags that tell that a graphic (or a member of a composite) moved or changed
    // shape, as against a change of style.
    static constexpr std::uint64_t GeometryStateFlags = 0xFFFFFFFFFFFC8001;

    ~GraphicBase() override;
    GraphicBase(const GraphicBase&) = delete;
    GraphicBase& operator=(const GraphicBase&) = delete;

    // The name of the coordinate space the coordinates are given in; "." (the selected
    // space of the image the graphic is drawn on) for a new graphic, "$" for a graphic
    // placed in the space of the graphic that holds it (see ChildGraphics).
    const std::string& SelectedSpaceName() const { return selectedSpaceName_; }
    void setSelectedSpaceName(const std::string& value);
    Color32 Color() const { return color_; }
    void setColor(Color32 value);
    GraphicLineStyleConstants LineStyle() const { return lineStyle_; }
    void setLineStyle(GraphicLineStyleConstants value);
    // 0 draws the thinnest line the display can.
    std::int32_t LineWidthInScreenPixels() const { return lineWidthInScreenPixels_; }
    void setLineWidthInScreenPixels(std::int32_t value);

    bool Interactive() const override { return interactive_; }
    void setInteractive(bool value) override;
    bool Selectable() const override { return selectable_; }
    void setSelectable(bool value) override;
    const std::string& TipText() const override { return tipText_; }
    void setTipText(const std::string& value) override;
    void setTipText(std::string&& value);
    Color32 SelectedColor() const override { return selectedColor_; }
    void setSelectedColor(Color32 value) override;
    GraphicLineStyleConstants SelectedLineStyle() const override { return selectedLineStyle_; }
    void setSelectedLineStyle(GraphicLineStyleConstants value) override;
    std::uint32_t GraphicDOFEnable() const override { return graphicDOFEnable_; }
    void setGraphicDOFEnable(std::uint32_t value) override;

    // Graphics drawn with this one (labels of a line, say). A child whose selected space
    // is "$" lies in this graphic's space, its coordinates relative to this graphic's
    // reference point; MapLinear maps such children by the linear part of the transform
    // and copies the others unchanged. Most graphics have none: the collection is made on
    // the first call of the non-const accessor, and until then the const one returns a
    // shared empty collection.
    GraphicCollection& ChildGraphics();
    const GraphicCollection& ChildGraphics() const;

    // The point children in "$" are placed relative to: a line's origin, a segment's
    // start, a centre, a marker's or a label's anchor, a polygon's first vertex.
    virtual void GetReferencePoint(double& x, double& y) const = 0;

    // Copy and MapLinear of the concrete class, typed as a graphic. The copy has no
    // subscribers; `copyShapeMode` is a mask of CopyShapeConstants.
    virtual std::shared_ptr<GraphicBase> CopyGraphic(std::uint32_t copyShapeMode) const = 0;
    virtual std::shared_ptr<GraphicBase> MapLinearGraphic(const Transform2DLinear& transform,
                                                          std::uint32_t copyShapeMode) const = 0;

    // Whether `graphic` is this graphic or lies anywhere beneath it (child graphics,
    // composite members, at any depth).
    bool ContainsGraphic(const GraphicBase& graphic) const;

protected:
    GraphicBase();

    // Stores `value` and returns `flag` if it differs from `member`; returns 0 otherwise.
    template <class T>
    static std::uint64_t Assign_(T& member, const T& value, std::uint64_t flag)
    {
        if (member == value)
            return 0;
        member = value;
        return flag;
    }
    template <class T>
    void Set_(T& member, const T& value, std::uint64_t flag)
    {
        OnChanged_(Assign_(member, value, flag));
    }

    // Copies from `source` into this new graphic what `copyShapeMode` selects. With a
    // transform, the children in "$" are mapped by it and the others copied; a class
    // whose reference point moves with the mapping passes the transform's linear part.
    void CopyGraphicPartsFrom(const GraphicBase& source, std::uint32_t copyShapeMode,
                              const Transform2DLinear* childTransform = nullptr);

    // Passes the flags on to every collection that holds this graphic.
    bool PassesChangesOn() const override { return !collections_.empty(); }
    void OnChangedEventRaised(std::uint64_t stateFlags) override;

    // Called by an owned collection after it raised its changed event.
    virtual void OnOwnedCollectionChanged(const GraphicCollection& collection, std::uint64_t stateFlags);
    // The collections this graphic owns, for ContainsGraphic (which runs at every Add, so
    // the list is kept inline).
    using OwnedCollections = boost::container::small_vector<const GraphicCollection*, 2>;
    virtual void AppendOwnedCollections(OwnedCollections& collections) const;
    // Makes `collection` report its changes to this graphic and refuse cycles through it;
    // Disown undoes that (a destructor calls it for every collection it adopted).
    void Adopt(GraphicCollection& collection);
    static void Disown(GraphicCollection& collection);
    // Appends to `target` copies of the graphics of `source`, those in "$" mapped by
    // `transform` if one is given.
    static void AppendCopies(GraphicCollection& target, const GraphicCollection& source,
                             std::uint32_t copyShapeMode, const Transform2DLinear* transform);

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version);

private:
    // A load fills the child graphics (making the collection); a save of a graphic without
    // any writes the shared empty collection.
    template <class Archive>
    auto& ChildGraphicsToSerialize()
    {
        if constexpr (Archive::is_loading::value)
            return ChildGraphics();
        else
            return std::as_const(*this).ChildGraphics();
    }

    friend class GraphicCollection;
    friend class cereal::access;

    std::string selectedSpaceName_ = ".";
    Color32 color_ = Color32::FromUInt32(0xFF00FF00);
    GraphicLineStyleConstants lineStyle_ = GraphicLineStyleConstants::Solid;
    std::int32_t lineWidthInScreenPixels_ = 1;
    std::string tipText_;
    bool interactive_ = false;
    bool selectable_ = true;
    Color32 selectedColor_ = Color32::FromUInt32(0xFF00FFFF);
    GraphicLineStyleConstants selectedLineStyle_ = GraphicLineStyleConstants::Solid;
    std::uint32_t graphicDOFEnable_ = 0;
    std::shared_ptr<GraphicCollection> childGraphics_;  // null until first asked for
    // The collections holding this graphic, once per place it has in them; each removes
    // its entries when it lets the graphic go or is destroyed. Mostly one or two (a record's
    // content and the tool that follows the graphic), kept inline.
    boost::container::small_vector<GraphicCollection*, 2> collections_;

    RTTR_ENABLE(Quill::ChangedEventShareableBase, IGraphicInteractive)
};

// The changed event of a collection passing on a change of one of its graphics: the flags
// of that change and the graphic. The collection's own changes (SfItems) are raised with a
// plain ChangedEventArgs.
class GraphicChangedEventArgs : public Quill::ChangedEventArgs {
public:
    GraphicChangedEventArgs(std::uint64_t stateFlags, std::shared_ptr<GraphicBase> graphic)
        : ChangedEventArgs(stateFlags), graphic_(std::move(graphic))
    {
    }
    const std::shared_ptr<GraphicBase>& Graphic() const { return graphic_; }

private:
    std::shared_ptr<GraphicBase> graphic_;
};

// An ordered list of shared graphics. It raises SfItems when graphics are added or
// removed and passes on, unchanged, the flags of every changed event of its graphics
// (with a GraphicChangedEventArgs naming the graphic). A collection owned by a graphic
// refuses a graphic that would make that graphic its own descendant.
class GraphicCollection : public Quill::ChangedEventShareableBase {
public:
    static constexpr std::uint64_t SfItems = 0x8000;

    using const_iterator = std::vector<std::shared_ptr<GraphicBase>>::const_iterator;

    explicit GraphicCollection(ObjectCreateAccessToken);
    ~GraphicCollection() override;
    GraphicCollection(const GraphicCollection&) = delete;
    GraphicCollection& operator=(const GraphicCollection&) = delete;

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    // Throws ArgumentOutOfRangeException outside 0 <= index < Count().
    const std::shared_ptr<GraphicBase>& Item(std::int32_t index) const;
    const std::shared_ptr<GraphicBase>& operator[](std::int32_t index) const { return Item(index); }
    // The graphic at `index` as a T, or null if it is not one.
    template <class T>
    std::shared_ptr<T> ItemAs(std::int32_t index) const
    {
        return std::dynamic_pointer_cast<T>(Item(index));
    }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

    // Throws ArgumentNullException for a null graphic and ArgumentException for a graphic
    // that contains the owner of this collection.
    void Add(std::shared_ptr<GraphicBase> graphic);
    void RemoveAt(std::int32_t index);
    void Clear();
    // Makes room for `count` graphics in all, so that adding up to that many allocates no
    // more; a negative count is taken as 0.
    void Reserve(std::int32_t count);

    // A new collection holding copies of the graphics, each made with `copyShapeMode`.
    std::shared_ptr<GraphicCollection> Copy(std::uint32_t copyShapeMode) const;

    using Quill::ChangedEventShareableBase::OnChanged_;
    void OnChanged_(std::uint64_t stateFlags) override;

private:
    friend class GraphicBase;
    friend class cereal::access;

    GraphicCollection() : GraphicCollection(MakeAccessToken()) {}

    void CheckCanAdd(const std::shared_ptr<GraphicBase>& graphic) const;
    void Append(std::shared_ptr<GraphicBase> graphic);
    // Passes on a changed event of `graphic`, one of this collection's graphics.
    void OnGraphicChanged(const std::shared_ptr<GraphicBase>& graphic, std::uint64_t stateFlags);
    // Removes one entry of this collection from the graphic's list of holders.
    void Release(GraphicBase& graphic) const noexcept;
    // Adds copies of the graphics of `source`; with a transform, graphics in "$" are
    // mapped by it instead.
    void AppendCopiesOf(const GraphicCollection& source, std::uint32_t copyShapeMode,
                        const Transform2DLinear* transform);

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version);

    std::vector<std::shared_ptr<GraphicBase>> items_;
    GraphicBase* owner_ = nullptr;  // cleared by the owner's destructor

    RTTR_ENABLE(Quill::ChangedEventShareableBase)
};

namespace Private::ShapeArchive {
// Load-time checks shared by the graphics' serialize functions; each throws
// SerializationException naming the class and the value.
void CheckNotNull(const void* pointer, const char* what, const char* className);
void CheckFinite(double value, const char* what, const char* className);
void CheckNonNegative(double value, const char* what, const char* className);
void CheckEnumRange(std::int32_t value, std::int32_t first, std::int32_t last, const char* what,
                    const char* className);
// Bounds the nesting of graphics in an archive, so that a corrupted or hostile archive
// cannot exhaust the stack.
class NestingGuard {
public:
    NestingGuard();
    ~NestingGuard();
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
};
} // namespace Private::ShapeArchive

template <class Archive>
void GraphicBase::serialize(Archive& ar, std::uint32_t version)
{
    constexpr const char* name = "GraphicBase::serialize()";
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, name);
    // The switches travel as bytes, so that a corrupted byte is caught rather than loaded
    // into a bool.
    std::uint8_t interactive = interactive_, selectable = selectable_;
    ar(selectedSpaceName_, color_, lineStyle_, lineWidthInScreenPixels_, tipText_, interactive, selectable,
       selectedColor_, selectedLineStyle_, graphicDOFEnable_, ChildGraphicsToSerialize<Archive>());
    if constexpr (Archive::is_loading::value) {
        using namespace Private::ShapeArchive;
        CheckEnumRange(interactive, 0, 1, "interactive switch", name);
        CheckEnumRange(selectable, 0, 1, "selectable switch", name);
        interactive_ = interactive != 0;
        selectable_ = selectable != 0;
        CheckEnumRange(static_cast<std::int32_t>(lineStyle_), 0, 4, "line style", name);
        CheckEnumRange(static_cast<std::int32_t>(selectedLineStyle_), 0, 4, "selected line style", name);
        CheckNonNegative(lineWidthInScreenPixels_, "line width", name);
    }
}

template <class Archive>
void GraphicCollection::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value) {
        CheckSerializationVersionMismatch(version, 1, "GraphicCollection::serialize()");
        Private::ShapeArchive::NestingGuard guard;
        std::vector<std::shared_ptr<GraphicBase>> items;
        ar(items);
        Clear();
        for (auto& item : items) {
            Private::ShapeArchive::CheckNotNull(item.get(), "graphic", "GraphicCollection::serialize()");
            CheckCanAdd(item);
            Append(std::move(item));
        }
    } else {
        ar(items_);
    }
}

} // namespace Ostrel::Vision

CEREAL_CLASS_VERSION(Ostrel::Vision::GraphicBase, 1)
CEREAL_CLASS_VERSION(Ostrel::Vision::GraphicCollection, 1)
