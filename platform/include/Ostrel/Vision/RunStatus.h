#pragma once
// The status of a tool's last run.

#include <memory>
#include <string>

#include <Ostrel/Quill/IException.h>
#include <Ostrel/Vision/ToolResultConstants.h>

namespace Ostrel::Vision {

namespace Implementation {
class ToolBase;
}

// A value: a copy taken from ToolBase::RunStatus() does not change when the tool runs
// again. A fresh tool reports Accept with no message and zero processing time.
class ToolRunStatus {
public:
    ToolRunStatus() = default;

    ToolResultConstants Result() const { return result_; }
    // The message InternalRun returned, or the caught exception's message; empty on a
    // plain success.
    const std::string& Message() const { return message_; }
    // The exception that ended the run, null unless the run threw. Its ThrowException()
    // throws it again with its own type.
    const std::shared_ptr<Quill::IException>& Exception() const { return exception_; }
    // Wall-clock time of the tool's own computation (InternalRun), in seconds.
    double ProcessingTime() const { return processingTime_; }

private:
    friend class Implementation::ToolBase;

    ToolResultConstants result_ = ToolResultConstants::Accept;
    std::string message_;
    std::shared_ptr<Quill::IException> exception_;
    double processingTime_ = 0.0;
};

} // namespace Ostrel::Vision
