#include <cmath>
#include <limits>

#include <fmt/format.h>
#include <rttr/type>

#include <Geometry/CreateGraphicLabelTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

using Selector = CreateGraphicLabelSourceSelectorConstants;

namespace {

[[noreturn]] void ThrowTooLong(std::size_t limit)
{
    throw fmt::format_error(fmt::format("The formatted label text would exceed {} characters: a width or precision "
                                        "of its format string is too large.",
                                        limit));
}

// The double input as a formatting argument. {fmt} writes the digits of a hexadecimal
// float ("a", "A") into a buffer of its own before they reach the bounded text, one per
// unit of precision, so a precision past the bound would cost that much memory and time
// before the bound is seen. The precision is checked first: a number written in the
// format, or the integer input when the format takes it from an argument ("{D:.{I}a}";
// no other input is an integer).
struct LabelReal {
    double value;
    std::int64_t integer;
};

} // namespace
} // namespace Ostrel::Vision::Geometry

template <>
struct fmt::formatter<Ostrel::Vision::Geometry::LabelReal> : fmt::formatter<double> {
    static constexpr std::size_t kLimit = Ostrel::Vision::Geometry::CreateGraphicLabelTool::kMaxFormattedText;

    auto parse(format_parse_context& ctx) -> decltype(ctx.begin())
    {
        // {fmt} reads the field's options first (and formats before it looks for the closing
        // brace); where they end tells the presentation type.
        const char* it = ctx.begin();
        const auto close = fmt::formatter<double>::parse(ctx);
        hex_ = close != it && (close[-1] == 'a' || close[-1] == 'A');
        if (hex_) {
            // The precision follows the first '.' after the fill and alignment.
            const char* p = it;
            if (close - p >= 2 && (p[1] == '<' || p[1] == '>' || p[1] == '^'))
                p += 2;
            for (int depth = 0; p != close && (depth > 0 || *p != '.'); ++p)
                depth += *p == '{' ? 1 : *p == '}' ? -1 : 0;
            if (p != close && ++p != close) {
                if (*p == '{') {
                    fromInteger_ = true;
                } else {
                    std::size_t precision = 0;
                    for (; p != close && *p >= '0' && *p <= '9' && precision <= kLimit; ++p)
                        precision = precision * 10 + static_cast<std::size_t>(*p - '0');
                    if (precision > kLimit)
                        Ostrel::Vision::Geometry::ThrowTooLong(kLimit);
                }
            }
        }
        return close;
    }

    template <class FormatContext>
    auto format(const Ostrel::Vision::Geometry::LabelReal& real, FormatContext& ctx) const -> decltype(ctx.out())
    {
        if (hex_ && fromInteger_ && real.integer > static_cast<std::int64_t>(kLimit))
            Ostrel::Vision::Geometry::ThrowTooLong(kLimit);
        return fmt::formatter<double>::format(real.value, ctx);
    }

private:
    bool hex_ = false, fromInteger_ = false;
};

namespace Ostrel::Vision::Geometry {
namespace {

// The allocator of the formatting buffer: it refuses any capacity past the bound, so that
// {fmt} fails as soon as a text would grow beyond it, before it writes a character of a
// field padded too wide. The refusal comes from the buffer's growth, in the middle of the
// formatting, never from a destructor that flushes buffered output.
struct BoundedAllocator {
    using value_type = char;
    std::size_t limit;

    char* allocate(std::size_t n)
    {
        if (n > limit)
            ThrowTooLong(limit);
        return std::allocator<char>{}.allocate(n);
    }
    void deallocate(char* p, std::size_t n) { std::allocator<char>{}.deallocate(p, n); }
    std::size_t max_size() const { return limit; }
    bool operator==(const BoundedAllocator&) const = default;
};

std::string ResultName(ToolResultConstants result)
{
    const auto name = rttr::type::get<ToolResultConstants>().get_enumeration().value_to_name(result);
    return std::string(name.data(), name.size());
}

} // namespace

CreateGraphicLabelTool::CreateGraphicLabelTool(ObjectCreateAccessToken) : label_(Quill::Create<GraphicLabel>())
{
    // The user may move the label as a whole, nothing else.
    label_->setGraphicDOFEnable(0x80000000);
    label_->setInteractive(true);
    InitializeRecordSwitches(0x3, 0x5, 0x0);
    for (const char* path : {"InputImage", "InputGraphicLabel.X", "InputGraphicLabel.Y", "InputGraphicLabel.Text",
                             "InputBoolean", "InputDouble", "InputInteger", "InputToolResultConstant"})
        Inputs().Add(path);
    Outputs().Add("GetOutputGraphicLabel()");
}

CreateGraphicLabelTool::CreateGraphicLabelTool() : CreateGraphicLabelTool(MakeAccessToken()) {}
CreateGraphicLabelTool::~CreateGraphicLabelTool() = default;

void CreateGraphicLabelTool::setOutputColor(Color32 color)
{
    ChangeInput(outputColor_, color, SfOutputColor | SfCurrentRecord);
}

std::shared_ptr<GraphicLabel> CreateGraphicLabelTool::GetOutputGraphicLabel() const
{
    // The output itself marks the result: this tool keeps no has-result mark.
    if (!output_.label)
        throw ToolNoResultException(std::string(Strings::E_OstTool_NoResult));
    return output_.label;
}

std::string CreateGraphicLabelTool::GenerateFormattedText() const
{
    const double real = std::isnan(inputs_.real) ? std::numeric_limits<double>::quiet_NaN() : inputs_.real;
    const std::string result = ResultName(inputs_.result);
    // A fixed argument store, not a dynamic one: a dynamic store that holds named arguments
    // counts its name table as an argument, so "{4}" would read past its last argument.
    // The fixed store answers every index past the fourth with "argument not found".
    fmt::basic_memory_buffer<char, fmt::inline_buffer_size, BoundedAllocator> text(
        BoundedAllocator{kMaxFormattedText});
    fmt::vformat_to(std::back_inserter(text), fmt::string_view(label_->Text()),
                    fmt::make_format_args(fmt::arg("B", inputs_.boolean), fmt::arg("D", LabelReal{real, inputs_.integer}),
                                          fmt::arg("I", inputs_.integer), fmt::arg("T", result)));
    return std::string(text.data(), text.size());
}

std::string CreateGraphicLabelTool::SelectedText() const
{
    switch (inputs_.selector) {
    case Selector::InputGraphicLabelText:
        return label_->Text();
    case Selector::InputBoolean:
        return inputs_.boolean ? "True" : "False";
    case Selector::InputDouble:
        return fmt::format("{:f}", inputs_.real);
    case Selector::InputInteger:
        return std::to_string(inputs_.integer);
    case Selector::InputToolResultConstant:
        return ResultName(inputs_.result);
    case Selector::FormattedText:
        try {
            return GenerateFormattedText();
        } catch (const fmt::format_error& e) {
            // The user's format string is at fault, not the library: a VisionException
            // with {fmt}'s reason, which the run status reports.
            throw ArgumentException(std::string("The label's format string cannot be formatted: ") + e.what());
        }
    }
    return label_->Text();  // an unknown selector leaves the label's text
}

ToolResultConstants CreateGraphicLabelTool::InternalRun(std::string&)
{
    ClearRunState();
    output_.copy.reset();
    if (output_.label) {
        output_.label.reset();
        OnChanged_(SfGetOutputGraphicLabel);
    }
    OnChanged_(SfLastRunRecord);
    if (!InputImage())
        throw ArgumentNullException("InputImage");
    if (!label_)
        throw ArgumentNullException("InputGraphicLabel");

    auto label = Tools::MapIntoImage(*label_, *InputImage());
    label->setSelectedSpaceName(InputImage()->SelectedSpaceName());
    label->setColor(outputColor_);
    label->setSelectable(false);
    label->setInteractive(false);
    label->setText(SelectedText());

    output_.label = std::move(label);
    CacheLastRunData(lastRunRecordEnable_, lastRunRecordDiagEnable_);
    OnChanged_(SfGetOutputGraphicLabel | SfLastRunRecord);
    return ToolResultConstants::Accept;
}

void CreateGraphicLabelTool::CacheLastRunData(std::uint32_t, std::uint32_t diagMask)
{
    // The image bits of this tool: 0x2 a copy, else 0x1 the image itself.
    KeepLastRunImage(((diagMask & 0x2) ? 0x4 : 0x0) | (diagMask & 0x1));
    if (output_.label && (diagMask & 0x4))
        output_.copy = output_.label->Copy(static_cast<std::uint32_t>(CopyShapeConstants::All));
}

void CreateGraphicLabelTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
                                                         std::uint32_t currentMask)
{
    AddCurrentRecords(*parent, currentMask, {{0x2, "InputGraphicLabel", label_}});
}

void CreateGraphicLabelTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                         std::uint32_t diagMask)
{
    if (!(diagMask & 0x3))
        return;
    const auto& kept = LastRunImage();
    auto image = Quill::Create<Record>("InputImage", kept ? rttr::type::get(*kept) : rttr::type::get<IImage>(),
                                       RecordUsageConstants::LastRunInput, false, kept, "InputImage");
    parent->SubRecords().Add(image);
    AddLastRunRows(*image, diagMask, {{0x4, "OutputGraphicLabel", output_.copy}});
}

} // namespace Ostrel::Vision::Geometry
