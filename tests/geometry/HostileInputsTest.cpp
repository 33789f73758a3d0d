// Every tool the library registers, created by its registered name, fed through each input
// pin that holds a number or a shape the numbers and shapes that break naive geometry code:
// NaN, infinities, signed zeros, the extremes of the double range, denormals, and
// degenerate shapes (a zero-length segment, radius 0, a flat ellipse, coinciding points and
// shapes). Whatever it is fed, a tool either refuses the value or fails its run with a
// message, or accepts with finite outputs; and once given good inputs again it gives the
// answer a fresh tool gives.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <rttr/type>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/ToolBase.h>

#include "RegisteredTools.h"

namespace {

using namespace RegisteredTools;

constexpr double inf = std::numeric_limits<double>::infinity();
const double hostileNumbers[] = {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 0.0, -0.0, DBL_MAX, -DBL_MAX,
                                 DBL_MIN, -DBL_MIN, 1e300, -1e300, 4.9e-324, 1e-310};

std::string Describe(double value) { return fmt::format("{}", value); }

// An input pin and how to put a hostile value into it: a number pin directly, a shape pin
// through one of the shape's own numbers ("Line" through "Line.Rotation").
struct Target {
    std::string path;
    rttr::variant original;
};

std::vector<Target> NumberTargets(const ToolPtr& tool)
{
    std::vector<Target> targets;
    for (const auto& pin : tool->Inputs()) {
        const rttr::variant value = pin->GetValue(tool);
        if (value.is_type<double>()) {
            targets.push_back({pin->Path(), value});
        } else if (const rttr::instance shape = ShapeOf(value); shape.is_valid()) {
            const rttr::type type = shape.get_derived_type();
            for (const auto& property : type.get_properties())
                if (property.get_declaring_type() == type && !property.is_readonly() && property.get_type() == rttr::type::get<double>())
                    targets.push_back({pin->Path() + "." + property.get_name().to_string(), property.get_value(shape)});
        }
    }
    return targets;
}

class HostileInputs : public ::testing::TestWithParam<std::string> {
protected:
    std::shared_ptr<Image8Grey> image = Quill::Create<Image8Grey>(64, 48);
    ToolPtr tool = GoodTool(GetParam(), image);
    Outcome reference = RunAndRead(GoodTool(GetParam(), image));

    // Runs the tool on what `change` did to its inputs: a refused value (a VisionException
    // naming it), a failed run with a message, or an accepted run with finite outputs;
    // then `restore`, and the tool answers as a fresh one does.
    void Expect(const std::string& what, const std::function<void()>& change, const std::function<void()>& restore)
    {
        SCOPED_TRACE(what);
        try {
            change();
        } catch (const VisionException& e) {
            EXPECT_FALSE(std::string(e.what()).empty());
        }
        const Outcome outcome = RunAndRead(tool);
        if (outcome.result == ToolResultConstants::Accept || outcome.result == ToolResultConstants::Warning) {
            for (double number : outcome.numbers)
                EXPECT_TRUE(std::isfinite(number)) << number;
        } else {
            const auto& status = tool->RunStatus();
            EXPECT_FALSE(status.Message().empty());
            ASSERT_TRUE(status.Exception());
            EXPECT_FALSE(dynamic_cast<const InternalErrorException*>(status.Exception().get())) << status.Message();
        }
        tool->CreateCurrentRecord();
        tool->CreateLastRunRecord();

        restore();
        const Outcome again = RunAndRead(tool);
        ASSERT_EQ(again.result, reference.result) << tool->RunStatus().Message();
        ASSERT_EQ(again.numbers.size(), reference.numbers.size());
        EXPECT_EQ(again.withoutValue, reference.withoutValue);
        for (std::size_t i = 0; i < again.numbers.size(); ++i)
            EXPECT_NEAR(again.numbers[i], reference.numbers[i], 1e-9 * (1 + std::abs(reference.numbers[i]))) << i;
    }

    void Set(const std::string& path, const rttr::variant& value)
    {
        Quill::Create<ToolPin>(path)->SetValue(tool, value);
    }
    void SetAll(const std::vector<Target>& targets, const std::function<double(const Target&)>& value)
    {
        for (const auto& target : targets)
            try {
                Set(target.path, value(target));
            } catch (const VisionException&) {
            }
    }
    void Restore(const std::vector<Target>& targets)
    {
        for (const auto& target : targets)
            Set(target.path, target.original);
    }
};

TEST_P(HostileInputs, EveryNumberOfEveryPin)
{
    ASSERT_EQ(reference.result, ToolResultConstants::Accept) << "the good inputs must give a result";
    const auto targets = NumberTargets(tool);
    ASSERT_FALSE(targets.empty());
    for (const auto& target : targets)
        for (double value : hostileNumbers)
            Expect(target.path + " = " + Describe(value), [&] { Set(target.path, value); },
                   [&] { Set(target.path, target.original); });
}

// Degenerate geometry: every number of the tool the same (coinciding points, zero-length
// segments, radius 0 at the point itself, an ellipse with both axes 0), or at alternate
// ends of the range (points farther apart than a double holds); then each shape made flat
// or empty on its own; then every shape of a kind the same (coinciding shapes).
TEST_P(HostileInputs, DegenerateShapesAndCoincidingPoints)
{
    const auto targets = NumberTargets(tool);
    for (double same : {0.0, 20.0})
        Expect("every number " + Describe(same), [&] { SetAll(targets, [&](const Target&) { return same; }); },
               [&] { Restore(targets); });
    for (double end : {DBL_MAX, 1e300}) {
        Expect("numbers at alternate ends " + Describe(end), [&] {
            int k = 0;  // x and y of one point at one end, of the next point at the other
            SetAll(targets, [&](const Target&) { return k++ / 2 % 2 ? -end : end; });
        }, [&] { Restore(targets); });
    }

    // A shape's own degenerate forms, each set through its pins.
    const std::map<std::string, std::vector<std::map<std::string, double>>> degenerate = {
        {"LineSegment", {{{"EndX", 0}, {"EndY", 0}, {"StartX", 0}, {"StartY", 0}}}},
        {"Circle", {{{"Radius", 0}}}},
        {"Ellipse", {{{"RadiusX", 0}}, {{"RadiusY", 0}}, {{"RadiusX", 0}, {"RadiusY", 0}}}},
    };
    std::map<std::string, std::vector<std::string>> shapesByKind;
    for (const auto& pin : tool->Inputs()) {
        const rttr::instance shape = ShapeOf(pin->GetValue(tool));
        if (!shape.is_valid())
            continue;
        const std::string kind = shape.get_derived_type().get_name().to_string();
        const std::string shortKind = kind.substr(kind.rfind(':') + 1);
        shapesByKind[shortKind].push_back(pin->Path());
        if (!degenerate.contains(shortKind))
            continue;
        for (const auto& form : degenerate.at(shortKind)) {
            std::vector<Target> changed;
            for (const auto& [name, number] : form)
                changed.push_back({pin->Path() + "." + name, Quill::Create<ToolPin>(pin->Path() + "." + name)->GetValue(tool)});
            Expect(pin->Path() + " degenerate", [&] {
                for (const auto& [name, number] : form)
                    Set(pin->Path() + "." + name, number);
            }, [&] { Restore(changed); });
        }
    }
    for (const auto& [kind, paths] : shapesByKind) {
        if (paths.size() < 2)
            continue;
        std::vector<Target> second;
        for (const auto& target : targets)
            if (target.path.rfind(paths[1] + ".", 0) == 0)
                second.push_back(target);
        Expect(kind + " shapes coincide", [&] {
            SetAll(second, [&](const Target& target) {
                return Quill::Create<ToolPin>(paths[0] + target.path.substr(paths[1].size()))->GetValue(tool).get_value<double>();
            });
        }, [&] { Restore(second); });
    }
}

INSTANTIATE_TEST_SUITE_P(Registered, HostileInputs, ::testing::ValuesIn(RegisteredToolNames()),
                         [](const auto& info) { return info.param.substr(info.param.rfind(':') + 1); });

TEST(HostileInputsRegistry, FindsEveryTool)
{
    EXPECT_EQ(RegisteredToolNames().size(), 34u);
}

} // namespace
