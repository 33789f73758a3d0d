#include <Geometry/CreateLineTool.h>

#include "ConstructionSupport.h"

namespace Ostrel::Vision::Geometry {

CreateLineTool::CreateLineTool(ObjectCreateAccessToken)
    : line_(CreateInputShape<Vision::Line>(0xFF00FF00))
{
    InitializeRecordSwitches(0x3, 0x11, 0x0);
    for (const char* path : {"InputImage", "Line.X", "Line.Y", "Line.Rotation"})
        Inputs().Add(path);
    Outputs().Add("GetOutputLine()");
}

CreateLineTool::CreateLineTool() : CreateLineTool(MakeAccessToken()) {}
CreateLineTool::~CreateLineTool() = default;

ToolResultConstants CreateLineTool::InternalRun(std::string&)
{
    BeginConstruction(SfGetOutputLine, output_);
    const Vision::Line& line = Required(line_, "inputLine");
    PreRun(imageRetentionMask_);
    return FinishConstruction(output_, Tools::MapIntoImage(line, *InputImage()),
                              CreateLineLastRunRecordDiagConstants::Line, SfGetOutputLine);
}

void CreateLineTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask)
{
    if ((currentMask & 0x3) == 0x3 && line_)
        line_->setTipText("Line");
    AddCurrentRecords(*parent, currentMask, {{0x2, "Line", line_}});
}

void CreateLineTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                    std::uint32_t diagMask)
{
    if (const auto image = AddLastRunInputImageRecord(*parent, diagMask))
        AddLastRunRows(*image, diagMask, {{0x10, "Line", output_.copy}});
}

} // namespace Ostrel::Vision::Geometry
