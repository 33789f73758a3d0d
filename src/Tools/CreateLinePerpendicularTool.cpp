#include <Geometry/CreateLinePerpendicularTool.h>
#include <Geometry/MathUtils.h>

#include "LineThroughPoint.h"

namespace Ostrel::Vision::Geometry {

CreateLinePerpendicularTool::CreateLinePerpendicularTool(ObjectCreateAccessToken) : line_(CreateInputShape<Vision::Line>(0xFFFF00FF))
{
    line_->SetFromStartXYEndXY(10, 10, 40, 20);
    InitializeRecordSwitches(0x7, 0x71, 0x0);
    Inputs().Add("InputImage");
    Inputs().Add("Line");
    Outputs().Add("GetOutputLine()");
}

CreateLinePerpendicularTool::CreateLinePerpendicularTool() : CreateLinePerpendicularTool(MakeAccessToken()) {}
CreateLinePerpendicularTool::~CreateLinePerpendicularTool() = default;

ToolResultConstants CreateLinePerpendicularTool::InternalRun(std::string&)
{
    return Tools::LineThroughPoint::Run(*this, &MathUtils::CreateLinePerpendicular);
}

void CreateLinePerpendicularTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask)
{
    Tools::LineThroughPoint::AddCurrentRecords(*this, *parent, currentMask);
}

void CreateLinePerpendicularTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                      std::uint32_t diagMask)
{
    Tools::LineThroughPoint::AddLastRunRecords(*this, *parent, diagMask);
}

} // namespace Ostrel::Vision::Geometry
