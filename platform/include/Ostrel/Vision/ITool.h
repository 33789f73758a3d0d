#pragma once
// The interfaces of the tool model: an item of a tracking collection (named, and telling
// its collection of its changes) and a tool (runs, reports its run status, offers pins and
// records).

#include <memory>
#include <string>

#include <Ostrel/Quill/ChangedEvent.h>
#include <Ostrel/Vision/RunStatus.h>

namespace Ostrel::Vision {

class Record;
class ToolPinCollection;

namespace Implementation {

class ITrackingCollectionTrackedItem : public virtual Quill::IChangedEvent {
public:
    virtual const std::string& Name() const = 0;
    virtual void setName(const std::string& name) = 0;

    RTTR_ENABLE(Quill::IChangedEvent)
};

} // namespace Implementation

class ITool : public virtual Implementation::ITrackingCollectionTrackedItem {
public:
    // Runs the tool; never throws. The outcome is in RunStatus().
    virtual void Run() = 0;
    virtual ToolRunStatus RunStatus() const = 0;

    virtual bool Enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;

    virtual ToolPinCollection& Inputs() = 0;
    virtual const ToolPinCollection& Inputs() const = 0;
    virtual ToolPinCollection& Outputs() = 0;
    virtual const ToolPinCollection& Outputs() const = 0;

    virtual std::shared_ptr<Record> CreateCurrentRecord() = 0;
    virtual std::shared_ptr<Record> CreateLastRunRecord() = 0;

    RTTR_ENABLE(Implementation::ITrackingCollectionTrackedItem)
};

} // namespace Ostrel::Vision
