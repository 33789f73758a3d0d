#include <Geometry/CreateEllipseTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

CreateEllipseTool::CreateEllipseTool(ObjectCreateAccessToken)
    : ellipse_(CreateInputShape<Vision::Ellipse>(0xFF00FF00))
{
    InitializeRecordSwitches(0x3, 0x11, 0x0);
    for (const char* path : {"InputImage", "Ellipse.CenterX", "Ellipse.CenterY", "Ellipse.RadiusX", "Ellipse.RadiusY",
                             "Ellipse.Rotation"})
        Inputs().Add(path);
    Outputs().Add("GetOutputEllipse()");
}

CreateEllipseTool::CreateEllipseTool() : CreateEllipseTool(MakeAccessToken()) {}
CreateEllipseTool::~CreateEllipseTool() = default;

ToolResultConstants CreateEllipseTool::InternalRun(std::string&)
{
    BeginConstruction(SfGetOutputEllipse, output_);
    const Vision::Ellipse& ellipse = Required(ellipse_, "inputEllipse");
    PreRun(imageRetentionMask_);
    return FinishConstruction(output_, Tools::MapIntoImage(ellipse, *InputImage()),
                              CreateEllipseLastRunRecordDiagConstants::Ellipse, SfGetOutputEllipse);
}

void CreateEllipseTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask)
{
    if ((currentMask & 0x3) == 0x3 && ellipse_)
        ellipse_->setTipText("Ellipse");
    AddCurrentRecords(*parent, currentMask, {{0x2, "Ellipse", ellipse_}});
}

void CreateEllipseTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                    std::uint32_t diagMask)
{
    if (const auto image = AddLastRunInputImageRecord(*parent, diagMask))
        AddLastRunRows(*image, diagMask, {{0x10, "Ellipse", output_.copy}});
}

} // namespace Ostrel::Vision::Geometry
