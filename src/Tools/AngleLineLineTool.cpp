#include <Geometry/AngleLineLineTool.h>
#include <Geometry/MathUtils.h>

#include "IntersectionToolFrame.h"

namespace Ostrel::Vision::Geometry {

// The crossing of the two lines gives the angle and where its arc is drawn.
template <> struct Implementation::IntersectionRow<AngleLineLineTool> {
    static constexpr ToolNames names{{"LineA", "LineA"}, {"LineB", "LineB"}, CopiesBy::DiagnosticMask};
    static void Defaults(Line& a, Line& b)
    {
        a.SetFromStartXYEndXY(10, 10, 40, 20), b.SetFromStartXYEndXY(10, 10, 50, 60);
    }
    static bool Intersect(const Line& a, const Line& b, const IImage& image, LineAngle& r)
    {
        return MathUtils::IntersectLineLine(a, b, image, r.numPoints, r.x, r.y, r.angle);
    }
};

using AngleLineLineFrame = Implementation::IntersectionToolFrame<AngleLineLineTool>;
using AngleLineLineDiag = AngleLineLineLastRunRecordDiagConstants;

AngleLineLineTool::AngleLineLineTool(ObjectCreateAccessToken)
{
    AngleLineLineFrame::Construct(*this, 0x0);
}
AngleLineLineTool::AngleLineLineTool() : AngleLineLineTool(MakeAccessToken()) {}
AngleLineLineTool::~AngleLineLineTool() = default;

ToolResultConstants AngleLineLineTool::InternalRun(std::string&)
{
    return AngleLineLineFrame::Run(*this);
}

// The live lines, named by their tip texts, are shown only over an input image.
void AngleLineLineTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent,
                                                    std::uint32_t currentMask)
{
    const bool image = InputImage() != nullptr;
    if (image && shapes_.a && (currentMask & 0x2))
        shapes_.a->setTipText("LineA");
    if (image && shapes_.b && (currentMask & 0x4))
        shapes_.b->setTipText("LineB");
    AddCurrentRecords(
        *parent, currentMask,
        {{0x2, "LineA", image ? shapes_.a : nullptr}, {0x4, "LineB", image ? shapes_.b : nullptr}});
}

// Beneath the run's image: the copies of the lines, optionally labelled with their names,
// and the arc of the angle from line A at the crossing, a quarter of the image wide.
void AngleLineLineTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                    std::uint32_t diagMask)
{
    const auto image = AddLastRunInputImageRecord(*parent, diagMask);
    if (!image || !LastRunImage())
        return;
    const auto& [a, b] = shapes_.copies;
    const AngleLineLineDiag diag = static_cast<AngleLineLineDiag>(diagMask);
    if (Any(diag & AngleLineLineDiag::LineLabels) &&
        Any(diag & (AngleLineLineDiag::LineA | AngleLineLineDiag::LineB))) {
        // A copy labelled by an earlier record of the same run keeps its label.
        auto unlabelled = [](const std::shared_ptr<Line>& line) {
            return line && line->ChildGraphics().Count() == 0 ? line.get() : nullptr;
        };
        AddLineLabelGraphics(*LastRunImage(), unlabelled(a), unlabelled(b), "LineA", "LineB");
    }
    if (a)
        a->setTipText("LineA");
    if (b)
        b->setTipText("LineB");
    AddLastRunRows(*image, diagMask, {{0x10, "LineA", a}, {0x20, "LineB", b}});
    const bool bothLines = a && b && (diagMask & 0x30) == 0x30;
    const double radius = LastRunImage()->Width() * 0.25;
    if (bothLines && result_.numPoints > 0 && HasResult() && radius > 0)
        CreateCircularArcRecord(result_.x, result_.y, radius, a->Rotation(), result_.angle, *image, "Angle");
}

} // namespace Ostrel::Vision::Geometry
