// Name labels for the lines of a last-run record.
#include <cmath>

#include <Geometry/Implementation/GeometryToolBase.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/Line.h>

namespace Ostrel::Vision::Geometry::Implementation {

namespace {

// Labels that come nearer than this to each other overlap.
constexpr double LabelWidth = 150, LabelHeight = 70;
constexpr double QuarterTurn = 0.7853981633974483, ThreeQuarterTurns = 2.356194490192345;

struct LabelPlace {
    double x, y, rotation;
};

// The point of `line` nearest the image centre, and the line's rotation.
LabelPlace NearestToCentre(const IImage& image, const Line& line)
{
    LabelPlace place{};
    MathUtils::DistancePointLine(image.Width() * 0.5, image.Height() * 0.5, line, &image, place.x, place.y);
    place.rotation = line.Rotation();
    return place;
}

// A label of the line's colour at `place`, given relative to the line's own point, since it
// becomes the line's child graphic.
void AttachLabel(Line& line, const LabelPlace& place, const std::string& text)
{
    double originX, originY, rotation;
    line.GetXYRotation(originX, originY, rotation);
    auto label = Quill::Create<GraphicLabel>();
    label->setText(text);
    label->setX(place.x - originX);
    label->setY(place.y - originY);
    label->setAlignment(GraphicLabelAlignmentConstants::Center);
    label->setSelectedSpaceName("$");
    label->setColor(line.Color());
    label->setInteractive(true);
    label->setGraphicDOFEnable(0);
    line.ChildGraphics().Add(std::move(label));
}

} // namespace

void GeometryToolBase::AddLineLabelGraphics(const IImage& image, Line* first, Line* second,
                                            const std::string& firstText, const std::string& secondText)
{
    LabelPlace a{};
    if (first) {
        a = NearestToCentre(image, *first);
        AttachLabel(*first, a, firstText);
    }
    if (!second)
        return;
    LabelPlace b = NearestToCentre(image, *second);
    if (first && std::abs(a.x - b.x) < LabelWidth && std::abs(a.y - b.y) < LabelHeight) {
        const double r = b.rotation;
        const bool steep =
            (QuarterTurn < r && r < ThreeQuarterTurns) || (-ThreeQuarterTurns < r && r < -QuarterTurn);
        if (steep)
            b.y += LabelHeight;
        else
            b.x += LabelWidth;
    }
    AttachLabel(*second, b, secondText);
}

} // namespace Ostrel::Vision::Geometry::Implementation
