#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Strings.h>
#include <Ostrel/Vision/ToolBase.h>

namespace Ostrel::Vision::Implementation {

namespace {

using Clock = std::chrono::steady_clock;

// The processing time of a run. Reading the steady clock costs tens of nanoseconds on a
// virtual machine, as much as a whole small tool; where the processor has a time-stamp
// counter (x86, which also has an invariant rate on the machines this runs on), a run reads
// that instead and converts ticks to seconds at a rate learnt from the steady clock over
// the process's first runs (at least 20 ms apart). Until the rate is known, runs read the
// steady clock.
class RunTimer {
public:
    RunTimer() noexcept
    {
        ticks_ = Ticks();
        if (secondsPerTick_.load(std::memory_order_relaxed) == 0)
            time_ = Clock::now();
    }

    double Seconds() const noexcept
    {
        const std::uint64_t ticks = Ticks();
        if (time_ == Clock::time_point{})
            return static_cast<double>(ticks - ticks_) * secondsPerTick_.load(std::memory_order_relaxed);
        const Clock::time_point now = Clock::now();
        Learn(ticks, now);
        return std::chrono::duration<double>(now - time_).count();
    }

private:
    static std::uint64_t Ticks() noexcept
    {
#if defined(__x86_64__) || defined(__i386__)
        return __rdtsc();
#else
        return 0;
#endif
    }

    // Keeps the first sample; once a later one lies far enough from it, the rate follows.
    static void Learn(std::uint64_t ticks, Clock::time_point now) noexcept
    {
        if (ticks == 0)
            return;  // no counter: the steady clock stays
        const std::int64_t nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count();
        std::uint64_t firstTicks = firstTicks_.load(std::memory_order_acquire);
        if (firstTicks == 0) {
            firstNanos_.store(nanos, std::memory_order_relaxed);
            firstTicks_.compare_exchange_strong(firstTicks, ticks, std::memory_order_release);
            return;
        }
        const std::int64_t elapsed = nanos - firstNanos_.load(std::memory_order_relaxed);
        if (elapsed >= 20'000'000 && ticks > firstTicks)
            secondsPerTick_.store(static_cast<double>(elapsed) * 1e-9 / static_cast<double>(ticks - firstTicks),
                                  std::memory_order_relaxed);
    }

    std::uint64_t ticks_;
    Clock::time_point time_{};

    static inline std::atomic<double> secondsPerTick_{0};
    static inline std::atomic<std::uint64_t> firstTicks_{0};
    static inline std::atomic<std::int64_t> firstNanos_{0};
};

constexpr const char* UnknownExceptionMessage = "The tool failed with an exception of an unknown type.";

// The exception being handled, as something a run status can keep and throw again: an
// IException keeps its own type; anything else becomes an InternalErrorException with its
// text.
std::shared_ptr<Quill::IException> CaptureCurrentException()
{
    try {
        throw;
    } catch (const Quill::IException& e) {
        return e.CloneException();
    } catch (const std::exception& e) {
        return std::make_shared<InternalErrorException>(e.what());
    } catch (...) {
        return std::make_shared<InternalErrorException>(UnknownExceptionMessage);
    }
}

std::string MessageOf(const Quill::IException& exception)
{
    if (const auto* vision = dynamic_cast<const VisionException*>(&exception))
        return vision->Message();
    if (const auto* standard = dynamic_cast<const std::exception*>(&exception))
        return standard->what();
    return UnknownExceptionMessage;
}

} // namespace

ToolBase::ToolBase() : inputs_("Inputs", this, SfPins), outputs_("Outputs", this, SfPins) {}

ToolBase::~ToolBase() = default;

void ToolBase::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    OnChanged_(SfEnabled);
}

void ToolBase::Run()
{
    std::string message;
    std::optional<RunTimer> timer;
    try {
        OnRunning();
        timer.emplace();
        const ToolResultConstants result = InternalRun(message);
        runStatus_.processingTime_ = timer->Seconds();
        runStatus_.result_ = result;
        // Keep the status string's buffer on the common path of an empty message.
        if (message.empty())
            runStatus_.message_.clear();
        else
            runStatus_.message_.swap(message);
        runStatus_.exception_.reset();
    } catch (...) {
        // 0 for a run that failed before InternalRun started.
        EndRunWithException(timer ? timer->Seconds() : 0.0);
    }
    try {
        OnRan();
    } catch (...) {
        EndRunWithException(runStatus_.processingTime_);
    }
    try {
        OnChanged_(SfRunStatus);
    } catch (...) {
        // A subscriber failed: the run's outcome is already out, so only the status says so.
        EndRunWithException(runStatus_.processingTime_);
    }
}

// Called inside a catch block.
void ToolBase::EndRunWithException(double processingTime) noexcept
{
    runStatus_.result_ = ToolResultConstants::Error;
    runStatus_.processingTime_ = processingTime;
    try {
        runStatus_.exception_ = CaptureCurrentException();
        runStatus_.message_ = MessageOf(*runStatus_.exception_);
    } catch (...) {
        // Out of memory while keeping the exception: report the failure without it.
        runStatus_.exception_.reset();
        runStatus_.message_.clear();
    }
}

std::shared_ptr<Record> ToolBase::CreateCurrentRecord()
{
    auto parent = Quill::Create<Record>(Name(), rttr::type::get<void>(), RecordUsageConstants::Container, false,
                                        nullptr, Name());
    InternalCreateCurrentRecord(parent, currentRecordEnable_);
    return parent;
}

std::shared_ptr<Record> ToolBase::CreateLastRunRecord()
{
    auto parent = Quill::Create<Record>(Name(), rttr::type::get<void>(), RecordUsageConstants::Container, false,
                                        nullptr, Name());
    InternalCreateLastRunRecord(parent, lastRunRecordEnable_, lastRunRecordDiagEnable_);
    return parent;
}

void ToolBase::setImageRetentionMask(std::uint32_t mask)
{
    if (mask == imageRetentionMask_)
        return;
    imageRetentionMask_ = mask;
    OnChanged_(SfImageRetentionMask);
}

void ToolBase::InitializeRecordSwitches(std::uint32_t currentRecordEnable, std::uint32_t lastRunRecordDiagEnable,
                                        std::uint32_t lastRunRecordEnable)
{
    currentRecordEnable_ = currentRecordEnable;
    imageRetentionMask_ = lastRunRecordDiagEnable;
    lastRunRecordDiagEnable_ = lastRunRecordDiagEnable;
    lastRunRecordEnable_ = lastRunRecordEnable;
}

bool ToolBase::ChangeCurrentRecordEnable(std::uint32_t mask, std::uint64_t toolFlag)
{
    if (mask == currentRecordEnable_)
        return false;
    currentRecordEnable_ = mask;
    OnChanged_(toolFlag | SfCurrentRecord);
    return true;
}

bool ToolBase::ChangeLastRunRecordEnable(std::uint32_t mask, std::uint64_t toolFlag)
{
    if (mask == lastRunRecordEnable_)
        return false;
    lastRunRecordEnable_ = mask;
    OnChanged_(toolFlag | SfLastRunRecord);
    return true;
}

bool ToolBase::ChangeLastRunRecordDiagEnable(std::uint32_t mask, std::uint64_t toolFlag)
{
    if (mask == lastRunRecordDiagEnable_)
        return false;
    lastRunRecordDiagEnable_ = mask;
    imageRetentionMask_ = mask;
    OnChanged_(toolFlag);
    return true;
}

void ToolBase::Orv9xConvert(long long handle, void* context)
{
    if (!context)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"context"}));
    // The table is read through its inline accessors; a missing handle fails as a map
    // lookup does.
    const auto& objects = static_cast<const Internal::ConversionContext*>(context)->Objects();
    const auto found = objects.find(handle);
    if (found == objects.end())
        throw std::out_of_range("invalid map<K, T> key");
    const auto& properties = found->second.Properties();
    const auto name = properties.find("Name");
    if (name != properties.end() && name->second.is_type<std::string>())
        setName(name->second.get_value<std::string>());
}

} // namespace Ostrel::Vision::Implementation
