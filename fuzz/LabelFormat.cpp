// Fuzz target: a legacy label format string converted to {fmt} syntax, then formatted by a
// label tool as a converted tool would be. The conversion may refuse a text with a
// VisionException (a rejected letter) or std::out_of_range (a width beyond 32 bits); the
// run may fail with an ArgumentException (a format {fmt} rejects, a text beyond the
// label's bound). Findings: any other exception, a short text converted otherwise than by
// the regular expression that defines the conversion, a text without a brace changed, a
// conversion more than twice as long as its input, a label text beyond the bound.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include <Geometry/CreateGraphicLabelTool.h>
#include <Geometry/Implementation/LegacyFormatString.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Image8Grey.h>

#include "Exercise.h"
#include "geometry/LegacyFormatReference.h"

namespace {

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

// Longer texts are left to the conversion alone: the reference expression recurses.
constexpr std::size_t kReferenceLength = 64;

CreateGraphicLabelTool& Tool()
{
    static const auto tool = [] {
        auto t = Quill::Create<CreateGraphicLabelTool>();
        t->setInputImage(Quill::Create<Image8Grey>(16, 16));
        t->setSourceSelector(CreateGraphicLabelSourceSelectorConstants::FormattedText);
        t->setInputDouble(-12.375);
        t->setInputInteger(42);
        t->setInputBoolean(true);
        return t;
    }();
    return *tool;
}

std::string Converted(const std::string& text)
{
    return Geometry::Implementation::ConvertLegacyFormatString(text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Tool();  // the label tool (and the library's registrations) before the first input
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using FuzzSupport::Finding;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (size <= kReferenceLength &&
        LegacyFormatReference::Outcome(Converted, text) != LegacyFormatReference::Outcome(LegacyFormatReference::ConvertByExpression, text))
        Finding("the conversion differs from its expression", text.c_str());

    std::string converted;
    try {
        converted = Converted(text);
    } catch (const VisionException&) {
        return 0;
    } catch (const std::out_of_range&) {
        return 0;
    } catch (const std::exception& e) {
        Finding("the conversion threw an undocumented exception", e.what());
    }
    if (text.find('{') == std::string::npos && converted != text)
        Finding("a text without a brace changed", text.c_str());
    if (converted.size() > 2 * text.size())
        Finding("the conversion more than doubled the text", text.c_str());

    auto& tool = Tool();
    tool.InputGraphicLabel()->setText(converted);
    tool.Run();
    if (tool.RunStatus().Result() == ToolResultConstants::Accept) {
        if (tool.GetOutputGraphicLabel()->Text().size() > CreateGraphicLabelTool::kMaxFormattedText)
            Finding("a label text beyond the bound", converted.c_str());
    } else {
        try {
            tool.RunStatus().Exception()->ThrowException();
        } catch (const ArgumentException&) {
        } catch (const std::exception& e) {
            Finding("the run failed with an undocumented exception", e.what());
        }
    }
    return 0;
}
