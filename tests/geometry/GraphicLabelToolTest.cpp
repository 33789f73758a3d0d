// The graphic label tool: the text each source selector gives, the formatted text and its
// bounds, the conversion of legacy format strings (against a table and, on random short
// inputs, against the regular expression that defines it), records and legacy names.
#include <random>

#include <fmt/args.h>
#include <fmt/format.h>

#include <Geometry/CreateGraphicLabelTool.h>
#include <Geometry/Implementation/LegacyFormatString.h>
#include <Ostrel/Vision/Legacy.h>

#include "LegacyFormatReference.h"
#include "ToolFrame.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;
using namespace Ostrel::Vision::Implementation::Internal;
using Ostrel::Vision::Geometry::Implementation::ConvertLegacyFormatString;
using LegacyFormatReference::ConvertByExpression;
using LegacyFormatReference::Outcome;
using Selector = CreateGraphicLabelSourceSelectorConstants;

namespace ToolFrameTests {

template <>
struct ToolTraits<CreateGraphicLabelTool> {
    // A first run has no earlier label to drop: it raises the last-run flag alone.
    static constexpr std::uint64_t resetFlags = 0, outputFlags = 0x20000, dragFlags = 0;
    static Names LastRunKeys() { return {"OutputGraphicLabel"}; }
    static void SetInputs(CreateGraphicLabelTool& t) { t.setSourceSelector(Selector::InputDouble), t.setInputDouble(1.5); }
    static double Measure(const rttr::variant& v) { return std::stod(v.get_value<std::shared_ptr<GraphicLabel>>()->Text()); }
    static constexpr double expected = 1.5;
    using NoImageException = ArgumentNullException;
    static constexpr const char* noImageMessage = "InputImage";
    using UnresolvedSpaceException = ArgumentException;
};

using LabelTools = ::testing::Types<CreateGraphicLabelTool>;
INSTANTIATE_TYPED_TEST_SUITE_P(Label, ToolFrame, LabelTools);

} // namespace ToolFrameTests

namespace {

std::shared_ptr<CreateGraphicLabelTool> LabelTool(Selector selector, const std::string& text = "")
{
    auto tool = Quill::Create<CreateGraphicLabelTool>();
    tool->setInputImage(Quill::Create<Image8Grey>(8, 8));
    tool->setSourceSelector(selector);
    tool->InputGraphicLabel()->setText(text);
    return tool;
}

std::string RunText(CreateGraphicLabelTool& tool)
{
    tool.Run();
    EXPECT_EQ(tool.RunStatus().Result(), ToolResultConstants::Accept) << tool.RunStatus().Message();
    return tool.RunStatus().Result() == ToolResultConstants::Accept ? tool.GetOutputGraphicLabel()->Text() : "";
}

} // namespace

TEST(CreateGraphicLabelTool, WritesTheSelectedInput)
{
    struct Case {
        Selector selector;
        std::string text, expected;
    };
    const Case cases[] = {
        {Selector::InputGraphicLabelText, "{D}", "{D}"},
        {Selector::InputBoolean, "", "True"},
        {Selector::InputDouble, "", "-2.500000"},
        {Selector::InputInteger, "", "-7"},
        {Selector::InputToolResultConstant, "", "Reject"},
        {Selector::FormattedText, "{T}: {D:.3f} {1:+.1f} {I:>4}|{B}", "Reject: -2.500 -2.5   -7|true"},
        {static_cast<Selector>(9), "as placed", "as placed"},
    };
    for (const auto& c : cases) {
        auto tool = LabelTool(c.selector, c.text);
        tool->setInputBoolean(true);
        tool->setInputDouble(-2.5);
        tool->setInputInteger(-7);
        tool->setInputToolResultConstant(ToolResultConstants::Reject);
        EXPECT_EQ(RunText(*tool), c.expected) << static_cast<int>(c.selector);
    }
    auto tool = LabelTool(Selector::FormattedText, "{D}");
    tool->setInputDouble(-std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(RunText(*tool), "nan");
}

TEST(CreateGraphicLabelTool, PlacesANewLabelInTheImageSpace)
{
    auto tool = LabelTool(Selector::InputInteger);
    tool->InputImage()->CoordinateSpaceTree()->AddSpace("#", "Half", Transform2DLinear(0.5, 0, 0, 0.5, 0, 0));
    const auto input = tool->InputGraphicLabel();
    input->setSelectedSpaceName("Half");
    EXPECT_EQ(input->GraphicDOFEnable(), 0x80000000u);
    EXPECT_TRUE(input->Interactive());
    EventRecorder events(*tool);
    tool->setOutputColor(Color32::FromUInt32(0xFF00FFFF));
    tool->setOutputColor(Color32::FromUInt32(0xFF0000FF));
    tool->setInputInteger(3);
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{0x40004, 0x4004}));
    RunOk(*tool);
    const auto first = tool->GetOutputGraphicLabel();
    EXPECT_EQ((std::vector<double>{first->X(), first->Y()}), (std::vector<double>{20, 20}));
    EXPECT_EQ(first->SelectedSpaceName(), "#");
    EXPECT_EQ(first->Color().ToUInt32(), 0xFF0000FFu);
    EXPECT_FALSE(first->Interactive());
    EXPECT_FALSE(first->Selectable());

    tool->setInputInteger(4);
    events.flags.clear();
    RunOk(*tool);
    EXPECT_EQ(events.flags, (std::vector<std::uint64_t>{0x20000, 0x8, 0x20008, 0x10}));
    EXPECT_EQ(first->Text(), "3");  // a host holding the first label sees it unchanged
    EXPECT_EQ(tool->GetOutputGraphicLabel()->Text(), "4");
}

TEST(CreateGraphicLabelTool, FailsRunsOnBadInputAndStaysUsable)
{
    const std::size_t limit = CreateGraphicLabelTool::kMaxFormattedText;
    struct Case {
        std::string format, message;
    };
    const Case cases[] = {
        {"{D:q}", "invalid type specifier"},
        {"{X}", "argument not found"},
        {"{4}", "argument not found"},
        {"{15:>2}", "argument not found"},
        {"{D:>1000000000}", "exceed 65536 characters"},
        {"{D:.1000000000f}", "exceed 65536 characters"},
        {"{T:>" + std::to_string(limit + 1) + "}", "exceed 65536 characters"},
        // Hexadecimal digits are made in full before they are written: refused beforehand.
        {"{D:.<9.2000000000a}", "exceed 65536 characters"},
        {"{1:.70000A}", "exceed 65536 characters"},
        {"{D:.1000000000AAVD", "exceed 65536 characters"}, // formatted before the brace is missed
        // Past the bound by a few characters, then a format error: nothing may be left to write.
        {"{T:>" + std::to_string(limit - 10) + "}" + std::string(20, '.') + "{X}", "exceed 65536 characters"},
    };
    auto tool = LabelTool(Selector::FormattedText);
    for (const auto& c : cases) {
        {
            // A freed block of formatter arguments, where the run's own arguments are likely
            // to be allocated: an index read past the last argument would print a 777.
            fmt::dynamic_format_arg_store<fmt::format_context> stale;
            for (int k = 0; k < 8; ++k)
                stale.push_back(777);
        }
        tool->InputGraphicLabel()->setText(c.format);
        tool->Run();
        EXPECT_EQ(tool->RunStatus().Result(), ToolResultConstants::Error) << c.format;
        EXPECT_NE(tool->RunStatus().Message().find(c.message), std::string::npos) << tool->RunStatus().Message();
        EXPECT_THROW(tool->GetOutputGraphicLabel(), ToolNoResultException);
    }
    tool->InputGraphicLabel()->setText("{D:.{I}a}"); // the precision from the integer input
    tool->setInputInteger(2000000000);
    tool->Run();
    EXPECT_NE(tool->RunStatus().Message().find("exceed 65536 characters"), std::string::npos);
    tool->setInputInteger(3);
    EXPECT_EQ(RunText(*tool), "0x0.000p+0");
    tool->InputGraphicLabel()->setText("{T:>" + std::to_string(limit) + "}");
    EXPECT_EQ(RunText(*tool).size(), limit);

    const auto label = tool->InputGraphicLabel();
    tool->setInputGraphicLabel(nullptr);
    tool->Run();
    EXPECT_EQ(tool->RunStatus().Message(), "InputGraphicLabel");
    ASSERT_TRUE(tool->RunStatus().Exception());
    EXPECT_THROW(tool->RunStatus().Exception()->ThrowException(), ArgumentNullException);
    tool->setInputGraphicLabel(label);
    EXPECT_EQ(RunText(*tool).size(), limit);
}

// ---- Legacy format strings ----

TEST(LegacyFormatString, ConvertsEveryLetterWidthAndPrecision)
{
    const std::pair<std::string, std::string> cases[] = {
        {"X={D,8:F3}", "X={D:>8.3F}"},
        {"Value {D,-10:C4} mm", "Value ${D:<10.2f} mm"},
        {"{D:R}{I:r3}{B:R}{T:r}", "{D:.9g}{I:.3d}{B}{T}"},
        {"{D:N2}{I:n}", "{D:.2L}{I:L}"},
        {"{D:d}{D:e}{D:f}{D:g}{D:x}{D:D}{D:E}{D:F}{D:G}{D:X}", "{D:d}{D:e}{D:f}{D:g}{D:x}{D:D}{D:E}{D:F}{D:G}{D:X}"},
        {"{I,007:D03}{I,-0}{|,2}", "{I:>7.03D}{I:>0}{|:>2}"},
        {"a{b}{ {D}} {D,} {D:} {D:Z} {Q}", "a{b}{ {D}} {D,} {D:} {D:Z} {Q}"},
        {"one\ntwo {D,2}\r\nthree {I}", "one\ntwo {D:>2}\r\nthree {I}"},
    };
    for (const auto& [legacy, converted] : cases) {
        EXPECT_EQ(ConvertLegacyFormatString(legacy), converted) << legacy;
        EXPECT_EQ(ConvertByExpression(legacy), converted) << legacy;
    }
    EXPECT_EQ(Outcome(ConvertLegacyFormatString, "{D:P1}"),
              "VisionException Unconvertable Format String - ({D:P1}). Percentage format not supported");
    EXPECT_EQ(Outcome(ConvertLegacyFormatString, "x\nab{D:|}"), "VisionException Invalid Format String - (ab{D:|}).");
    EXPECT_EQ(Outcome(ConvertLegacyFormatString, "{D,2147483648}"), "out_of_range");
    EXPECT_EQ(ConvertLegacyFormatString("{D,-2147483648}"), "{D:<2147483648}");
}

TEST(LegacyFormatString, AgreesWithItsExpressionOnRandomShortTexts)
{
    // Texts built from pieces of tokens, so that whole tokens, refused letters and line
    // breaks before them are frequent, and from single characters.
    const std::string pieces[] = {"{", "}", "{D", "{I", "{B", "{T", "{|", ",", ",-", "12", "0", "99999999999", ":",
                                  ":P", ":p", ":|", ":C", ":r", ":R", ":N", ":F", ":x", ":q", "3", "\n", "\r",
                                  "a", " ", std::string(1, '\0'), "}}"};
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> count(0, 8), pick(0, std::size(pieces) - 1);
    for (int i = 0; i < 30000; ++i) {
        std::string text;
        for (std::size_t n = count(random); n > 0; --n)
            text += pieces[pick(random)];
        ASSERT_EQ(Outcome(ConvertLegacyFormatString, text), Outcome(ConvertByExpression, text)) << text;
    }
}

TEST(LegacyFormatString, ConvertsLongTextsWithoutRecursion)
{
    // Long enough that a backtracking expression would exhaust the stack.
    std::string text(300000, 'x');
    text += "{D,5:F1}";
    for (int i = 0; i < 20000; ++i)
        text += "{I}\n";
    const std::string converted = ConvertLegacyFormatString(text);
    EXPECT_EQ(converted.substr(300000, 12), "{D:>5.1F}{I}");
    EXPECT_EQ(converted.size(), text.size() + 1);
}

// Only a label that formats its text (selector 5) gets its legacy format string converted.
TEST(CreateGraphicLabelTool, ConvertsItsLegacyFormatStringOnlyWhenItFormats)
{
    for (const auto& [selector, text] : {std::pair{5, "{D:>6.1F}"}, {0, "{D,6:F1}"}}) {
        ConversionContext context;
        context.Add(1, ObjectInfo("CreateGraphicLabelTool", {{"mInputBoolean", true},
                                                             {"mInputDouble", 2.25},
                                                             {"mInputInteger", 12},
                                                             {"mInputToolResultConstant", 1},
                                                             {"mSourceSelector", selector},
                                                             {"mInputGraphicLabel", LegacyHandle{2}},
                                                             {"mOutputColor", 0x7F0000FF}}));
        context.Add(2,
                    ObjectInfo("GraphicLabel", {{"Text", std::string("{D,6:F1}")}, {"X", 1.0}, {"Y", 2.0}}));
        auto tool =
            std::dynamic_pointer_cast<CreateGraphicLabelTool>(Orv9xConverter::Orv9xConvert(1, &context));
        ASSERT_TRUE(tool);
        EXPECT_EQ(tool->InputGraphicLabel()->Text(), text);
        tool->setInputImage(Quill::Create<Image8Grey>(8, 8));
        EXPECT_EQ(RunText(*tool), selector == 5 ? "   2.2" : "{D,6:F1}");
    }
}
