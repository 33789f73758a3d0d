#pragma once
// The signal of an object's changed event, for code that subscribes to it.

#include <memory>

#include <boost/signals2/dummy_mutex.hpp>
#include <boost/signals2/signal.hpp>
#include <boost/signals2/signal_type.hpp>

#include <Ostrel/Quill/ChangedEvent.h>

namespace Ostrel::Quill {

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

} // namespace Ostrel::Quill
