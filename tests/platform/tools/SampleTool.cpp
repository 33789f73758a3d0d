#include <rttr/registration>

#include <Ostrel/Vision/Exceptions.h>

#include "SampleTool.h"

namespace ToolsTest {

std::size_t Points::Check(int i) const
{
    if (i < 0 || i >= NumPoints())
        throw ArgumentOutOfRangeException("point " + std::to_string(i) + " does not exist");
    return static_cast<std::size_t>(i);
}

std::vector<std::shared_ptr<Meta::FakePropertyMeta>> Points::GetFakeProperties() const
{
    auto properties = Meta::GetFakePropertiesForNoArgMethods(rttr::type::get(*this));
    Meta::AppendIndexedFakeProperties(properties, rttr::type::get(*this), "GetX", "SetX", NumPoints());
    Meta::AppendIndexedFakeProperties(properties, rttr::type::get(*this), "GetUsed", "", NumPoints());
    return properties;
}

void Points::ConstructContent(Record& record, std::uint32_t mask)
{
    calls.push_back("content " + std::to_string(mask));
    record.setContent(Quill::Create<Line>(static_cast<double>(mask)));
}

void Points::ConstructAnnotation(Record& record, std::uint32_t mask)
{
    calls.push_back("annotation " + std::to_string(mask));
    record.setAnnotation(record.Key() + " annotated");
}

void Points::ConstructSubRecords(Record& record, std::uint32_t mask)
{
    calls.push_back("subrecords " + std::to_string(mask));
    for (int i = 0; i < NumPoints(); ++i)
        record.SubRecords().Add(Quill::Create<Record>("Point" + std::to_string(i), rttr::type::get<double>(),
                                                      RecordUsageConstants::LastRunResult, false, nullptr, ""));
}

SampleTool::SampleTool(ObjectCreateAccessToken)
    : segment_(Quill::Create<ToolsTest::Segment>()), runParams_(Quill::Create<Points>(std::vector<double>{10, 20}))
{
    InitializeRecordSwitches(0x3, 0x71, 0x1);
    behaviour = [](std::string&) { return ToolResultConstants::Accept; };
    Inputs().Add("StartX");
    Inputs().Add("Segment.StartX");
    Inputs().Add("RunParams.SetX(0)");
    Outputs().Add("Distance");
    Outputs().Add("GetOutputSegment().CreateLine()");
}

// "Inputs" (mask 0x1) holding the segment, and beneath it the live "Segment" (0x2).
void SampleTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask)
{
    if (!(currentMask & 0x1))
        return;
    auto inputs = Quill::Create<Record>("Inputs", rttr::type::get<void>(), RecordUsageConstants::CurrentInput,
                                        false, nullptr, "Inputs");
    parent->SubRecords().Add(inputs);
    if (currentMask & 0x2)
        inputs->SubRecords().Add(Quill::Create<Record>("Segment", rttr::type::get(*segment_),
                                                       RecordUsageConstants::CurrentInteractive, true, segment_,
                                                       "Segment"));
}

// "Points" built by the run parameters as record constructor, with the masks as argument.
void SampleTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                             std::uint32_t diagMask)
{
    auto points = Quill::Create<Record>("Points", rttr::type::get<void>(), RecordUsageConstants::LastRunInput,
                                        false, nullptr, "Points");
    parent->SubRecords().Add(points);
    points->Construct(runParams_, lastRunMask | diagMask);
}

} // namespace ToolsTest

RTTR_REGISTRATION
{
    using namespace ToolsTest;
    rttr::registration::class_<Line>("ToolsTest::Line").property_readonly("Rotation", &Line::Rotation);
    rttr::registration::class_<Segment>("ToolsTest::Segment")
        .property("StartX", &Segment::StartX, &Segment::setStartX)
        .property("Id", &Segment::Id, &Segment::setId)
        .property_readonly("Length", &Segment::Length)
        .method("CreateLine", &Segment::CreateLine)
        .method("GetNothing", &Segment::GetNothing);
    rttr::registration::class_<Points>("ToolsTest::Points")
        .property_readonly("NumPoints", &Points::NumPoints)
        .method("GetX", &Points::GetX)
        .method("SetX", &Points::SetX)
        .method("GetUsed", &Points::GetUsed)
        .method("Describe", &Points::Describe);
    rttr::registration::class_<SampleTool>("ToolsTest::SampleTool")
        .property("StartX", &SampleTool::StartX, &SampleTool::setStartX)
        .property("Count", &SampleTool::Count, &SampleTool::setCount)
        .property("Segment", &SampleTool::Segment, &SampleTool::setSegment)
        .property_readonly("RunParams", &SampleTool::RunParams)
        .property_readonly("Distance", &SampleTool::Distance)
        .method("GetOutputSegment", &SampleTool::GetOutputSegment);
}

CEREAL_REGISTER_TYPE_WITH_NAME(ToolsTest::SampleTool, "ToolsTest::SampleTool")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Implementation::ToolBase, ToolsTest::SampleTool)
CEREAL_CLASS_VERSION(ToolsTest::SampleTool, 1)
