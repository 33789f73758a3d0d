#pragma once
// Change notification. An object raises its changed event with a 64-bit mask of state
// flags; subscribers are Boost.Signals2 slots (ChangedSignal.h, which only code that
// subscribes needs). Objects that subscribe to one another use
// tracked slots (track_foreign on a weak_ptr) held as scoped connections, so that no
// subscription keeps an object alive and no call reaches a destroyed one. An object that
// must pass every change on to the objects holding it (a graphic to its collections)
// does so through OnChangedEventRaised instead, which costs no connection per holder.

#include <cstdint>
#include <memory>

#include <Ostrel/Quill/IObject.h>

namespace Ostrel::Quill {

// The argument of a changed event. An object that passes on the changes of the objects it
// holds may raise a derived class that also names the object that changed.
class ChangedEventArgs {
public:
    explicit ChangedEventArgs(std::uint64_t stateFlags) : stateFlags_(stateFlags) {}
    virtual ~ChangedEventArgs() = default;
    ChangedEventArgs(const ChangedEventArgs&) = default;
    ChangedEventArgs& operator=(const ChangedEventArgs&) = default;
    std::uint64_t StateFlags() const { return stateFlags_; }

private:
    std::uint64_t stateFlags_;
};

// The signal behind the changed event (ChangedSignal.h); include that header to connect.
class ChangedSignal;

class IChangedEvent : public virtual IObject {
public:
    virtual ChangedSignal& ChangedEvent() = 0;

    RTTR_ENABLE(IObject)
};

class ChangedEventShareableBase : public ShareableBase, public virtual IChangedEvent {
public:
    ~ChangedEventShareableBase() override;

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
    ChangedEventShareableBase();
    // A copy has no subscribers and nothing pending.
    ChangedEventShareableBase(const ChangedEventShareableBase& other);
    ChangedEventShareableBase& operator=(const ChangedEventShareableBase&) { return *this; }

    // For an object that passes its changes on (PassesChangesOn): called with the flags of
    // every changed event right after its subscribers had it, and also when nobody
    // listens; not while the event is suspended, but with the collected flags at the
    // resume. The object is kept alive for the call even if a subscriber drops it.
    virtual bool PassesChangesOn() const { return false; }
    virtual void OnChangedEventRaised(std::uint64_t /*stateFlags*/) {}
    // Whether a slot may be connected to the changed event, without making the signal: a
    // class that would build a costly event argument asks first.
    bool ChangedEventListened() const;

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
