#pragma once
// Test-local objects of the tool model: a point list with indexed fake properties that
// also builds record content, and a concrete tool holding it and a segment.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/Meta/IHaveFakePropertyMeta.h>
#include <Ostrel/Vision/RecordConstructor.h>
#include <Ostrel/Vision/ToolBase.h>

namespace ToolsTest {

using namespace Ostrel;
using namespace Ostrel::Vision;

// Fake properties "GetX(i)" (written through SetX) and read-only "GetUsed(i)"; as a record
// constructor it logs its calls.
class Points : public Quill::ShareableBase, public Meta::IHaveFakePropertyMeta, public IRecordConstructor {
public:
    Points(ObjectCreateAccessToken, std::vector<double> xs) : xs(std::move(xs)) {}
    double GetX(int i) const { return xs[Check(i)]; }
    void SetX(int i, double x) { xs[Check(i)] = x; }
    bool GetUsed(int i) const { return Check(i) % 2 == 0; }
    std::string Describe() const { return "points"; }
    Meta::FakePropertyList GetFakeProperties() const override;
    void ConstructContent(Record& record, std::uint32_t mask) override { Log("content", record, mask); }
    void ConstructAnnotation(Record& record, std::uint32_t mask) override { Log("annotation", record, mask); }
    void ConstructSubRecords(Record& record, std::uint32_t mask) override { Log("subrecords", record, mask); }
    std::vector<double> xs;
    std::vector<std::string> calls;

private:
    std::size_t Check(int i) const;
    void Log(const std::string& what, const Record& record, std::uint32_t mask)
    {
        calls.push_back(what + " " + record.Key() + " " + std::to_string(mask));
    }

    RTTR_ENABLE(Quill::ShareableBase, Meta::IHaveFakePropertyMeta, IRecordConstructor)
};

class SampleTool : public Implementation::ToolBase {
public:
    static constexpr std::uint64_t SfLastRunRecordEnable = 0x80;
    static constexpr std::uint64_t SfLastRunRecordDiagEnable = 0x100;
    static constexpr std::uint64_t SfCurrentRecordEnable = 0x200;

    explicit SampleTool(ObjectCreateAccessToken);

    double StartX() const { return startX; }
    void setStartX(double x) { startX = x; }
    int Count() const { return count; }
    void setCount(int n) { count = n; }
    std::shared_ptr<LineSegment> Segment() const { return segment; }
    void setSegment(std::shared_ptr<LineSegment> s) { segment = std::move(s); }
    std::shared_ptr<Quill::ShareableBase> Attachment() const { return attachment; }
    void setAttachment(std::shared_ptr<Quill::ShareableBase> a) { attachment = std::move(a); }
    std::shared_ptr<Points> RunParams() const { return runParams; }
    double Distance() const { return 2.0 * startX; }
    std::shared_ptr<LineSegment> GetOutputSegment() const { return segment; }
    std::shared_ptr<LineSegment> GetNothing() const { return nullptr; }

    std::uint32_t CurrentRecordEnable() const { return currentRecordEnable_; }
    void setCurrentRecordEnable(std::uint32_t m) { ChangeCurrentRecordEnable(m, SfCurrentRecordEnable); }
    std::uint32_t LastRunRecordEnable() const { return lastRunRecordEnable_; }
    void setLastRunRecordEnable(std::uint32_t m) { ChangeLastRunRecordEnable(m, SfLastRunRecordEnable); }
    std::uint32_t LastRunRecordDiagEnable() const { return lastRunRecordDiagEnable_; }
    void setLastRunRecordDiagEnable(std::uint32_t m) { ChangeLastRunRecordDiagEnable(m, SfLastRunRecordDiagEnable); }

    std::function<ToolResultConstants(std::string&)> behaviour = [](std::string&) { return ToolResultConstants::Accept; };
    std::vector<std::string> trace;  // of OnRunning and OnRan
    double startX = 0.0;
    int count = 0;
    std::shared_ptr<LineSegment> segment = Quill::Create<LineSegment>();
    std::shared_ptr<Quill::ShareableBase> attachment;
    std::shared_ptr<Points> runParams = Quill::Create<Points>(std::vector<double>{10, 20});

protected:
    void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) override;
    void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                     std::uint32_t diagMask) override;
    ToolResultConstants InternalRun(std::string& message) override { return behaviour(message); }
    void OnRunning() override { trace.push_back("running"); }
    void OnRan() override { trace.push_back("ran"); }

private:
    SampleTool() : SampleTool(MakeAccessToken()) {}
    friend class cereal::access;
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "SampleTool::serialize()");
        ar(cereal::base_class<ToolBase>(this), startX);
    }

    RTTR_ENABLE(ToolBase)
};

} // namespace ToolsTest
