#pragma once
// The framework's tool base: name, enabled switch, the run frame that turns an escaping
// exception into the run status, the input and output pins, the record trees and the four
// record-switch integers that the tools read and write directly.

#include <cstdint>
#include <memory>
#include <string>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/ITool.h>
#include <Ostrel/Vision/Legacy.h>
#include <Ostrel/Vision/Record.h>
#include <Ostrel/Vision/RunStatus.h>
#include <Ostrel/Vision/ToolPin.h>
#include <Ostrel/Vision/ToolResultConstants.h>
#include <Ostrel/Vision/TrackedItemBase.h>

namespace Ostrel::Vision::Implementation {

class ToolBase : public TrackedItemBase, public virtual ITool, public virtual Internal::ILegacyConvertible {
public:
    // The framework part of every tool's state flags. A class derived from ToolBase numbers
    // its own flags from sfNextSf_.
    static constexpr std::uint64_t sf0_ = 0x1;
    static constexpr std::uint64_t SfName = TrackedItemBase::SfName;  // 0x1
    static constexpr std::uint64_t SfEnabled = 0x2;
    static constexpr std::uint64_t SfCurrentRecord = 0x4;       // what the current record shows changed
    static constexpr std::uint64_t SfLastRunRecord = 0x8;       // what the last-run record shows changed
    static constexpr std::uint64_t SfRunStatus = 0x10;          // a run ended
    static constexpr std::uint64_t SfImageRetentionMask = 0x20;
    static constexpr std::uint64_t SfPins = 0x40;               // a pin was added to Inputs or Outputs
    static constexpr std::uint64_t sfNextSf_ = 0x80;

    ~ToolBase() override;
    ToolBase(const ToolBase&) = delete;
    ToolBase& operator=(const ToolBase&) = delete;

    // A host (a tool block) skips a disabled tool; Run itself does not look at the switch.
    bool Enabled() const override { return enabled_; }
    // Raises SfEnabled when the switch changes.
    void setEnabled(bool enabled) override;

    // OnRunning, InternalRun (timed), OnRan, then SfRunStatus. Never throws: an exception
    // leaving any of them ends the run with result Error, the exception kept in the status
    // (an IException cloned with its own type, anything else as an InternalErrorException
    // carrying its what()) and its message as the status message. A successful run of a
    // tool whose InternalRun does not allocate allocates nothing here either, as long as
    // nobody listens to the changed event.
    void Run() override;
    ToolRunStatus RunStatus() const override { return runStatus_; }

    ToolPinCollection& Inputs() override { return inputs_; }
    const ToolPinCollection& Inputs() const override { return inputs_; }
    ToolPinCollection& Outputs() override { return outputs_; }
    const ToolPinCollection& Outputs() const override { return outputs_; }

    // A new root record (key and annotation the tool's name, usage Container, no value),
    // filled by InternalCreateCurrentRecord with CurrentRecordEnable.
    std::shared_ptr<Record> CreateCurrentRecord() override;
    // A new root record filled by InternalCreateLastRunRecord with LastRunRecordEnable and
    // LastRunRecordDiagEnable.
    std::shared_ptr<Record> CreateLastRunRecord() override;

    // The mask (coded as LastRunRecordDiagEnable) that decides how a run keeps its input
    // image for the last-run record. It follows LastRunRecordDiagEnable whenever that is
    // set through ChangeLastRunRecordDiagEnable; a host may set it alone afterwards.
    std::uint32_t ImageRetentionMask() const { return imageRetentionMask_; }
    // Raises SfImageRetentionMask when the mask changes.
    void setImageRetentionMask(std::uint32_t mask);

    // Reads the legacy object's optional "Name". Throws std::out_of_range for a handle the
    // table does not hold and ArgumentNullException for a null context.
    void Orv9xConvert(long long handle, void* context) override;

protected:
    ToolBase();

    void OnFinalConstruct() override {}

    // The tool's part of the record trees; `parent` is the root made by Create...Record.
    virtual void InternalCreateCurrentRecord(const std::shared_ptr<Record>& parent, std::uint32_t currentMask) = 0;
    virtual void InternalCreateLastRunRecord(const std::shared_ptr<Record>& parent, std::uint32_t lastRunMask,
                                             std::uint32_t diagMask) = 0;
    // The tool's computation. Returns the result; may set `message` for a result other
    // than Accept. Failures are exceptions.
    virtual ToolResultConstants InternalRun(std::string& message) = 0;
    virtual void OnRan() {}
    virtual void OnRunning() {}

    // Constructor defaults: sets the record switches, and the image-retention mask to the
    // value of LastRunRecordDiagEnable, raising nothing.
    void InitializeRecordSwitches(std::uint32_t currentRecordEnable, std::uint32_t lastRunRecordDiagEnable,
                                  std::uint32_t lastRunRecordEnable);

    // The compare-then-raise setters behind each tool's typed accessors. Each returns false
    // and raises nothing for an unchanged mask; otherwise it stores the mask and raises
    // `toolFlag` together with SfCurrentRecord, with SfLastRunRecord, or alone
    // (LastRunRecordDiagEnable, which also sets the image-retention mask to the new value).
    bool ChangeCurrentRecordEnable(std::uint32_t mask, std::uint64_t toolFlag);
    bool ChangeLastRunRecordEnable(std::uint32_t mask, std::uint64_t toolFlag);
    bool ChangeLastRunRecordDiagEnable(std::uint32_t mask, std::uint64_t toolFlag);

    // The record switches, in this order; tools read and write them directly, and expose
    // the first, third and fourth typed as their own enumerations.
    std::uint32_t currentRecordEnable_ = 0;
    std::uint32_t imageRetentionMask_ = 0;
    std::uint32_t lastRunRecordDiagEnable_ = 0;
    std::uint32_t lastRunRecordEnable_ = 0;

private:
    bool enabled_ = true;
    ToolRunStatus runStatus_;
    ToolPinCollection inputs_;
    ToolPinCollection outputs_;

    void EndRunWithException(double processingTime) noexcept;

    friend class cereal::access;
    // Name, Enabled, then the four record-switch integers in their order.
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "ToolBase::serialize()");
        ar(name_, enabled_, currentRecordEnable_, imageRetentionMask_, lastRunRecordDiagEnable_, lastRunRecordEnable_);
    }

    RTTR_ENABLE(TrackedItemBase, ITool, Internal::ILegacyConvertible)
};

} // namespace Ostrel::Vision::Implementation

CEREAL_CLASS_VERSION(Ostrel::Vision::Implementation::ToolBase, 1)
