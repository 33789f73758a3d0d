#include <rttr/registration>

#include "SampleTool.h"

namespace ToolsTest {

std::size_t Points::Check(int i) const
{
    if (i < 0 || i >= static_cast<int>(xs.size()))
        throw ArgumentOutOfRangeException("point " + std::to_string(i) + " does not exist");
    return static_cast<std::size_t>(i);
}

Meta::FakePropertyList Points::GetFakeProperties() const
{
    auto properties = Meta::GetFakePropertiesForNoArgMethods(rttr::type::get(*this));
    Meta::AppendIndexedFakeProperties(properties, rttr::type::get(*this), "GetX", "SetX", static_cast<int>(xs.size()));
    Meta::AppendIndexedFakeProperties(properties, rttr::type::get(*this), "GetUsed", "", static_cast<int>(xs.size()));
    return properties;
}

SampleTool::SampleTool(ObjectCreateAccessToken)
{
    InitializeRecordSwitches(0x3, 0x71, 0x1);
    Inputs().Add("StartX");
    Inputs().Add("Segment.StartX");
    Inputs().Add("RunParams.SetX(0)");
    Outputs().Add("Distance");
    Outputs().Add("GetOutputSegment().CreateLine()");
}

// The live "Segment" (mask 0x1).
void SampleTool::InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask)
{
    if (currentMask & 0x1)
        parent->SubRecords().Add(Quill::Create<Record>("Segment", rttr::type::get(*segment),
                                                       RecordUsageConstants::CurrentInteractive, true, segment,
                                                       "Segment"));
}

// "Points", built by the run parameters as record constructor with both masks.
void SampleTool::InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                             std::uint32_t diagMask)
{
    auto points = Quill::Create<Record>("Points", rttr::type::get<void>(), RecordUsageConstants::LastRunInput,
                                        false, nullptr, "Points");
    parent->SubRecords().Add(points);
    points->Construct(runParams, lastRunMask | diagMask);
}

} // namespace ToolsTest

RTTR_REGISTRATION
{
    using namespace ToolsTest;
    using rttr::registration;
    // Lets a shared_ptr<LineSegment> be written where a pointer to one of its bases is expected.
    rttr::type::register_wrapper_converter_for_base_classes<std::shared_ptr<LineSegment>>();
    registration::class_<Points>("ToolsTest::Points")
        .method("GetX", &Points::GetX)
        .method("SetX", &Points::SetX)
        .method("GetUsed", &Points::GetUsed)
        .method("Describe", &Points::Describe);
    registration::class_<SampleTool>("ToolsTest::SampleTool")
        .property("StartX", &SampleTool::StartX, &SampleTool::setStartX)
        .property("Count", &SampleTool::Count, &SampleTool::setCount)
        .property("Segment", &SampleTool::Segment, &SampleTool::setSegment)
        .property("Attachment", &SampleTool::Attachment, &SampleTool::setAttachment)
        .property_readonly("RunParams", &SampleTool::RunParams)
        .property_readonly("Distance", &SampleTool::Distance)
        .method("GetOutputSegment", &SampleTool::GetOutputSegment)
        .method("GetNothing", &SampleTool::GetNothing);
}

CEREAL_REGISTER_TYPE_WITH_NAME(ToolsTest::SampleTool, "ToolsTest::SampleTool")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Implementation::ToolBase, ToolsTest::SampleTool)
CEREAL_CLASS_VERSION(ToolsTest::SampleTool, 1)
