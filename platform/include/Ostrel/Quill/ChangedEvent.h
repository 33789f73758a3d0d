#pragma once
// Change notification. An object raises its changed event with a 64-bit mask of state
// flags; subscribers are Boost.Signals2 slots. Objects that subscribe to one another use
// tracked slots (track_foreign on a weak_ptr) held as scoped connections, so that no
// subscription keeps an object alive and no call reaches a destroyed one.

#include <cstdint>
#include <memory>

#include <boost/signals2/dummy_mutex.hpp>
#include <boost/signals2/signal.hpp>
#include <boost/signals2/signal_type.hpp>

#include <Ostrel/Quill/IObject.h>

namespace Ostrel::Quill {

class ChangedEventArgs {
public:
    explicit ChangedEventArgs(std::uint64_t stateFlags) : stateFlags_(stateFlags) {}
    std::uint64_t StateFlags() const { return stateFlags_; }

private:
    std::uint64_t stateFlags_;
};

// Objects are used from one thread at a time and events are raised synchronously, so the
// signal needs no mutex. Besides the Boost.Signals2 signal, it remembers whether a slot may
// be connected, so that raising an event nobody listens to costs a test of one flag: asking
// the signal itself whether it is empty takes a reference to its slot list (two atomic
// operations), which a tool's run would pay four times.
class ChangedSignal
    : public boost::signals2::signal_type<void(const std::shared_ptr<ChangedEventArgs>&),
                                          boost::signals2::keywords::mutex_type<boost::signals2::dummy_mutex>>::type {
public:
    using Signal = boost::signals2::signal_type<void(const std::shared_ptr<ChangedEventArgs>&),
                                                boost::signals2::keywords::mutex_type<boost::signals2::dummy_mutex>>::type;

    template <class... Args>
    boost::signals2::connection connect(Args&&... args)
    {
        mayHaveSlots_ = true;
        return Signal::connect(std::forward<Args>(args)...);
    }
    template <class... Args>
    boost::signals2::connection connect_extended(Args&&... args)
    {
        mayHaveSlots_ = true;
        return Signal::connect_extended(std::forward<Args>(args)...);
    }

    // False only when no slot is connected; true may still mean none (all disconnected),
    // which Listened() then finds out and remembers.
    bool MayHaveSlots() const { return mayHaveSlots_; }
    bool Listened()
    {
        if (mayHaveSlots_ && empty())
            mayHaveSlots_ = false;
        return mayHaveSlots_;
    }

private:
    bool mayHaveSlots_ = false;
};

class IChangedEvent : public virtual IObject {
public:
    virtual ChangedSignal& ChangedEvent() = 0;

    RTTR_ENABLE(IObject)
};

class ChangedEventShareableBase : public ShareableBase, public virtual IChangedEvent {
public:
    ~ChangedEventShareableBase() override = default;

    // Made on first use: most objects (copies for records, result graphics) are never
    // subscribed to, and a signal costs several allocations.
    ChangedSignal& ChangedEvent() override;

    // Raises the changed event with the given flags. While suspended, the flags are
    // collected and raised as one event by the matching ResumeAndRaiseChangedEvent.
    // A zero mask raises nothing; no event argument is made when nobody listens.
    virtual void OnChanged_(std::uint64_t stateFlags);
    virtual void OnChanged_(const std::shared_ptr<ChangedEventArgs>& args);

    // Suspensions nest; the outermost resume raises what was collected, if anything.
    void SuspendChangedEvent() { ++suspendCount_; }
    void ResumeAndRaiseChangedEvent();
    bool ChangedEventSuspended() const { return suspendCount_ > 0; }

protected:
    ChangedEventShareableBase() = default;
    // A copy has no subscribers and nothing pending.
    ChangedEventShareableBase(const ChangedEventShareableBase& other)
        : IObject(), IChangedEvent(), ShareableBase(other) {}
    ChangedEventShareableBase& operator=(const ChangedEventShareableBase&) { return *this; }

private:
    std::unique_ptr<ChangedSignal> changed_;
    std::uint64_t pendingFlags_ = 0;
    int suspendCount_ = 0;

    RTTR_ENABLE(ShareableBase, IChangedEvent)
};

// Raises the flags collected while a scope runs as one event (exception-safe).
class ScopedChangedEventSuspension {
public:
    explicit ScopedChangedEventSuspension(ChangedEventShareableBase& object) : object_(object)
    {
        object_.SuspendChangedEvent();
    }
    ~ScopedChangedEventSuspension() { object_.ResumeAndRaiseChangedEvent(); }
    ScopedChangedEventSuspension(const ScopedChangedEventSuspension&) = delete;
    ScopedChangedEventSuspension& operator=(const ScopedChangedEventSuspension&) = delete;

private:
    ChangedEventShareableBase& object_;
};

} // namespace Ostrel::Quill
