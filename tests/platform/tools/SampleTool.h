#pragma once
// Test-local objects of the tool model: a segment-like shape, a point list with indexed
// fake properties, and a concrete tool holding both.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <Ostrel/Vision/Meta/IHaveFakePropertyMeta.h>
#include <Ostrel/Vision/RecordConstructor.h>
#include <Ostrel/Vision/ToolBase.h>

namespace ToolsTest {

using namespace Ostrel;
using namespace Ostrel::Vision;

class Line : public Quill::ShareableBase {
public:
    Line(ObjectCreateAccessToken, double rotation) : rotation_(rotation) {}
    double Rotation() const { return rotation_; }

private:
    double rotation_;

    RTTR_ENABLE(Quill::ShareableBase)
};

class Segment : public Quill::ChangedEventShareableBase {
public:
    explicit Segment(ObjectCreateAccessToken) {}
    double StartX() const { return startX_; }
    void setStartX(double x) { startX_ = x; }
    int Id() const { return id_; }
    void setId(int id) { id_ = id; }
    double Length() const { return 2.0 * startX_; }
    std::shared_ptr<Line> CreateLine() const { return Quill::Create<Line>(0.25); }
    std::shared_ptr<Segment> GetNothing() const { return nullptr; }

private:
    double startX_ = 1.5;
    int id_ = 0;

    RTTR_ENABLE(Quill::ChangedEventShareableBase)
};

// Points with fake properties "GetX(i)" (written through SetX) and read-only "GetUsed(i)";
// as a record constructor it puts one sub-record per point under a record.
class Points : public Quill::ShareableBase, public Meta::IHaveFakePropertyMeta, public IRecordConstructor {
public:
    explicit Points(ObjectCreateAccessToken, std::vector<double> xs = {}) : xs_(std::move(xs)) {}
    int NumPoints() const { return static_cast<int>(xs_.size()); }
    double GetX(int i) const { return xs_.at(Check(i)); }
    void SetX(int i, double x) { xs_.at(Check(i)) = x; }
    bool GetUsed(int i) const { return Check(i) % 2 == 0; }
    std::string Describe() const { return "points"; }

    std::vector<std::shared_ptr<Meta::FakePropertyMeta>> GetFakeProperties() const override;

    void ConstructContent(Record& record, std::uint32_t mask) override;
    void ConstructAnnotation(Record& record, std::uint32_t mask) override;
    void ConstructSubRecords(Record& record, std::uint32_t mask) override;
    std::vector<std::string> calls;

private:
    std::size_t Check(int i) const;
    std::vector<double> xs_;

    RTTR_ENABLE(Quill::ShareableBase, Meta::IHaveFakePropertyMeta, IRecordConstructor)
};

class SampleTool : public Implementation::ToolBase {
public:
    static constexpr std::uint64_t sf0_ = ToolBase::sfNextSf_;
    static constexpr std::uint64_t SfLastRunRecordEnable = 0x80;
    static constexpr std::uint64_t SfLastRunRecordDiagEnable = 0x100;
    static constexpr std::uint64_t SfCurrentRecordEnable = 0x200;
    static constexpr std::uint64_t sfNextSf_ = 0x400;

    explicit SampleTool(ObjectCreateAccessToken);

    double StartX() const { return startX_; }
    void setStartX(double x) { startX_ = x; }
    int Count() const { return count_; }
    void setCount(int count) { count_ = count; }
    std::shared_ptr<ToolsTest::Segment> Segment() const { return segment_; }
    void setSegment(std::shared_ptr<ToolsTest::Segment> segment) { segment_ = std::move(segment); }
    std::shared_ptr<Points> RunParams() const { return runParams_; }
    double Distance() const { return 2.0 * startX_; }
    std::shared_ptr<ToolsTest::Segment> GetOutputSegment() const { return segment_; }

    std::uint32_t CurrentRecordEnable() const { return currentRecordEnable_; }
    void setCurrentRecordEnable(std::uint32_t mask) { ChangeCurrentRecordEnable(mask, SfCurrentRecordEnable); }
    std::uint32_t LastRunRecordEnable() const { return lastRunRecordEnable_; }
    void setLastRunRecordEnable(std::uint32_t mask) { ChangeLastRunRecordEnable(mask, SfLastRunRecordEnable); }
    std::uint32_t LastRunRecordDiagEnable() const { return lastRunRecordDiagEnable_; }
    void setLastRunRecordDiagEnable(std::uint32_t mask)
    {
        ChangeLastRunRecordDiagEnable(mask, SfLastRunRecordDiagEnable);
    }

    // What InternalRun does; the hooks append to `trace`.
    std::function<ToolResultConstants(std::string&)> behaviour;
    std::vector<std::string> trace;

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
        ar(cereal::base_class<ToolBase>(this), startX_);
    }

    double startX_ = 0.0;
    int count_ = 0;
    std::shared_ptr<ToolsTest::Segment> segment_;
    std::shared_ptr<Points> runParams_;

    RTTR_ENABLE(ToolBase)
};

} // namespace ToolsTest
