// An application of the geometry tools, as the README shows it: a tool measures the
// distance between two points on an image and is saved, then MathUtils measures a gap on
// its own.
#include <fstream>
#include <iostream>

#include <Geometry/DistancePointPointTool.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Vision.h>

using namespace Ostrel;

int main()
{
    auto image = Quill::Create<Vision::Image8Grey>(640, 480);
    auto tool = Quill::Create<Vision::Geometry::DistancePointPointTool>();
    tool->setInputImage(image);
    tool->setStartX(10); tool->setStartY(10); tool->setEndX(70); tool->setEndY(40);
    tool->Run();                                   // never throws: see tool->RunStatus()
    double d = tool->Distance();                   // throws ToolNoResultException without a result
    auto record = tool->CreateLastRunRecord();     // "InputImage" with the distance arrow under it
    std::cout << "distance " << d << ", record \"" << record->SubRecords()[0]->Key() << "\"\n";

    // The tool with its inputs and settings; ArchiveOptions::LastRunResults adds its results.
    std::ofstream archive("distance-tool.archive", std::ios::binary);
    Vision::Serialization::Save(archive, tool, Vision::ArchiveOptions::None);

    // Each shape is mapped from its own coordinate space into the image's first; without
    // an image, the shapes' stored coordinates are used.
    auto line = Quill::Create<Vision::Line>();
    line->SetXYRotation(0, 100, 0);                // the horizontal line y = 100
    auto circle = Quill::Create<Vision::Circle>();
    circle->SetCenterRadius(50, 50, 20);
    double lineX, lineY, circleX, circleY;
    double gap = Vision::Geometry::MathUtils::DistanceLineCircle(*line, *circle, image.get(),
                                                                 lineX, lineY, circleX, circleY);
    std::cout << "gap " << gap << " from (" << lineX << ", " << lineY << ") to (" << circleX << ", "
              << circleY << ")\n";
}
