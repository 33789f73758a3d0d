#include <Geometry/CreateLineParallelTool.h>
#include <Geometry/MathUtils.h>

#include "LineThroughPoint.h"

namespace Ostrel::Vision::Geometry {

CreateLineParallelTool::CreateLineParallelTool(ObjectCreateAccessToken) : line_(CreateInputShape<Vision::Line>(0xFFFF00FF))
{
    line_->SetFromStartXYEndXY(10, 40, 40, 60);
    InitializeRecordSwitches(0x7, 0x71, 0x0);
    Inputs().Add("InputImage");
    Inputs().Add("Line");
    Outputs().Add("GetOutputLine()");
}

CreateLineParallelTool::CreateLineParallelTool() : CreateLineParallelTool(MakeAccessToken()) {}
CreateLineParallelTool::~CreateLineParallelTool() = default;

ToolResultConstants CreateLineParallelTool::InternalRun(std::string&)
{
    return Tools::LineThroughPoint::Run(*this, &MathUtils::CreateLineParallel);
}

void CreateLineParallelTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask)
{
    Tools::LineThroughPoint::AddCurrentRecords(*this, *parent, currentMask);
}

void CreateLineParallelTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t,
                                                      std::uint32_t diagMask)
{
    Tools::LineThroughPoint::AddLastRunRecords(*this, *parent, diagMask);
}

} // namespace Ostrel::Vision::Geometry
