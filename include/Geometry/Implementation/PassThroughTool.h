#pragma once
// The frame of the construction tools that publish the shape the user placed (or a pin
// supplied) as it is: a new shape per run, re-expressed in the input image's space and
// drawn in the tool's output style. A tool of the family is this frame with one row of
// data: the shape's name and pins, its output pins and flag, and how the run maps the
// shape into the image. The tool's own class adds its named getter, setter and output
// getter.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>

namespace Ostrel::Vision::Geometry::Implementation {

// What sets one pass-through tool apart. The shape's name is its record key and its
// property; `nullName` is the word the missing-input message uses, `legacyName` the legacy
// property the shape is read from. Unused pin slots are null.
template <class Shape>
struct PassThroughRow {
    const char* name;
    const char* nullName;
    const char* legacyName;
    std::array<const char*, 5> inputPins;   // after "InputImage"
    std::array<const char*, 2> outputPins;
    std::uint64_t outputFlag;  // raised when a run clears the output, and with the last-run flag when it succeeds
    // Whether the live shape is given its name as tip text when the current record shows it.
    bool namesLiveShape;
    // The output of a run: `input` re-expressed in the image's selected space, a new object.
    std::shared_ptr<Shape> (*map)(const Shape& input, const IImage& image);
};

// Records: the current record shows the live shape (bit 0x2); the last-run record the
// display copy of the output (0x10) under the shape's name, beneath the image of the run,
// whatever image that is.
template <class Shape>
class PassThroughTool : public GeometryToolBaseOutputStyle {
public:
    using Row = PassThroughRow<Shape>;

    // The base parts, then the shape under its legacy name.
    void Orv9xConvert(long long handle, void* context) override;

protected:
    // A new interactive shape drawn in green; the tool gives it its geometry.
    explicit PassThroughTool(const Row& row) : shape_(CreateInputShape<Shape>(0xFF00FF00)), row_(row)
    {
        InitializeRecordSwitches(0x3, 0x11, 0x0);
        Inputs().Add("InputImage");
        for (const char* path : row.inputPins)
            if (path)
                Inputs().Add(path);
        for (const char* path : row.outputPins)
            if (path)
                Outputs().Add(path);
    }

    ToolResultConstants InternalRun(std::string&) override
    {
        BeginConstruction(row_.outputFlag, output_);
        const Shape& shape = Required(shape_, row_.nullName);
        PreRun(imageRetentionMask_);
        return FinishConstruction(output_, row_.map(shape, *InputImage()), OutputCopy, row_.outputFlag);
    }

    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override
    {
        if (row_.namesLiveShape && (currentMask & 0x3) == 0x3 && shape_)
            shape_->setTipText(row_.name);
        AddCurrentRecords(*parent, currentMask, {{0x2, row_.name, shape_}});
    }

    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                     std::uint32_t diagMask) override
    {
        if (const auto image = AddLastRunInputImageRecord(*parent, diagMask))
            AddLastRunRows(*image, diagMask, {{OutputCopy, row_.name, output_.copy}});
    }

    // The diagnostic bit of the output's display copy.
    static constexpr std::uint32_t OutputCopy = 0x10;

    std::shared_ptr<Shape> shape_;
    ShapeOutput<Shape> output_;

private:
    const Row& row_;
};

} // namespace Ostrel::Vision::Geometry::Implementation
