#pragma once
// A graphic label placed over the input image whose text is one of the tool's inputs: the
// label's own text, a boolean, a double, an integer, a tool result, or a text formatted
// from all of them with {fmt}, the label's text serving as the format string.

#include <cstdint>

#include <Geometry/Implementation/GeometryToolBase.h>
#include <Ostrel/Vision/Color32.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/ToolResultConstants.h>

namespace Ostrel::Vision::Geometry {

// Unlike the other tools, 0x2 keeps a copy of the input image, and 0x4 shows the output.
OSTREL_GEOMETRY_DETAIL_SWITCH_ENUM(CreateGraphicLabelCurrentRecordConstants,
                                   ((InputImage, 0x1))((InputGraphicLabel, 0x2)))
OSTREL_GEOMETRY_DETAIL_SWITCH_ENUM(CreateGraphicLabelLastRunRecordConstants, ((None, 0x0)))
OSTREL_GEOMETRY_DETAIL_SWITCH_ENUM(CreateGraphicLabelLastRunRecordDiagConstants,
                                   ((InputImageByReference, 0x1))((InputImageByCopy, 0x2))((OutputGraphicLabel, 0x4)))

// Which input becomes the output label's text.
enum class CreateGraphicLabelSourceSelectorConstants : std::uint32_t {
    InputGraphicLabelText = 0,
    InputBoolean = 1,
    InputDouble = 2,
    InputInteger = 3,
    InputToolResultConstant = 4,
    FormattedText = 5,
};

class OSTREL_GEOMETRY_API CreateGraphicLabelTool : public Implementation::GeometryToolBase {
public:
    OSTREL_GEOMETRY_TOOL(CreateGraphicLabel, Implementation::GeometryToolBase,
                         (InputGraphicLabel)(InputBoolean)(InputDouble)(InputInteger)(InputToolResultConstant)
                         (SourceSelector)(GetOutputGraphicLabel)(OutputColor))

    // The longest text a formatted label may have: a format string asking for more (a
    // width or precision of 10^9, say) fails the run instead of exhausting memory.
    static constexpr std::size_t kMaxFormattedText = 64 * 1024;

    explicit CreateGraphicLabelTool(ObjectCreateAccessToken);
    ~CreateGraphicLabelTool() override;

    const std::shared_ptr<GraphicLabel>& InputGraphicLabel() const { return label_; }
    void setInputGraphicLabel(const std::shared_ptr<GraphicLabel>& label)
    {
        ChangeInput(label_, label, SfInputGraphicLabel | SfCurrentRecord);
    }
    bool InputBoolean() const { return inputs_.boolean; }
    void setInputBoolean(bool value) { ChangeInput(inputs_.boolean, value, SfInputBoolean | SfCurrentRecord); }
    double InputDouble() const { return inputs_.real; }
    // A NaN is stored (and compares unequal, so it always raises).
    void setInputDouble(double value) { ChangeInput(inputs_.real, value, SfInputDouble | SfCurrentRecord); }
    std::int32_t InputInteger() const { return inputs_.integer; }
    void setInputInteger(std::int32_t value) { ChangeInput(inputs_.integer, value, SfInputInteger | SfCurrentRecord); }
    ToolResultConstants InputToolResultConstant() const { return inputs_.result; }
    void setInputToolResultConstant(ToolResultConstants value)
    {
        ChangeInput(inputs_.result, value, SfInputToolResultConstant | SfCurrentRecord);
    }
    CreateGraphicLabelSourceSelectorConstants SourceSelector() const { return inputs_.selector; }
    void setSourceSelector(CreateGraphicLabelSourceSelectorConstants value)
    {
        ChangeInput(inputs_.selector, value, SfSourceSelector | SfCurrentRecord);
    }
    Color32 OutputColor() const { return outputColor_; }
    void setOutputColor(Color32 color);

    // The label made by the last run, in the image's space; throws ToolNoResultException
    // when there is none.
    std::shared_ptr<GraphicLabel> GetOutputGraphicLabel() const;

    // The base parts, the inputs and the label; with the formatted-text selector the
    // label's legacy format string is converted to {fmt} syntax (ConvertLegacyFormatString).
    void Orv9xConvert(long long handle, void* context) override;

protected:
    // The input label's text formatted by {fmt} with the arguments B (0), D (1), I (2) and
    // T (3, the result's reflected name); a NaN double prints as "nan". Throws
    // fmt::format_error for a format string {fmt} rejects and for a text longer than
    // kMaxFormattedText; a run reports either as an ArgumentException with {fmt}'s reason.
    std::string GenerateFormattedText() const;

    ToolResultConstants InternalRun(std::string& message) override;
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;

private:
    CreateGraphicLabelTool();
    void CacheLastRunData(std::uint32_t lastRunMask, std::uint32_t diagMask);
    std::string SelectedText() const;

    std::shared_ptr<GraphicLabel> label_;
    struct {
        bool boolean = false;
        double real = 0;
        std::int32_t integer = 0;
        ToolResultConstants result = ToolResultConstants::Accept;
        CreateGraphicLabelSourceSelectorConstants selector = CreateGraphicLabelSourceSelectorConstants::InputGraphicLabelText;
    } inputs_;
    Color32 outputColor_ = Color32::FromUInt32(0xFF00FFFF);
    struct {
        std::shared_ptr<GraphicLabel> label;
        std::shared_ptr<GraphicLabel> copy;
    } output_;

    OSTREL_GEOMETRY_TOOL_TAIL(Implementation::GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry
