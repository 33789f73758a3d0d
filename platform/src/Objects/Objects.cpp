#include <Ostrel/Quill/ChangedSignal.h>
#include <Ostrel/Quill/IObject.h>

namespace Ostrel::Quill {

std::string ShareableBase::ToString() const
{
    return get_type().get_name().to_string();
}

ChangedEventShareableBase::ChangedEventShareableBase() = default;
ChangedEventShareableBase::ChangedEventShareableBase(const ChangedEventShareableBase& other)
    : IObject(), IChangedEvent(), ShareableBase(other)
{
}
ChangedEventShareableBase::~ChangedEventShareableBase() = default;

ChangedSignal& ChangedEventShareableBase::ChangedEvent()
{
    if (!changed_)
        changed_ = std::make_unique<ChangedSignal>();
    return *changed_;
}

bool ChangedEventShareableBase::ChangedEventListened() const
{
    return changed_ && changed_->Listened();
}

void ChangedEventShareableBase::OnChanged_(std::uint64_t stateFlags)
{
    if (stateFlags == 0)
        return;
    if (suspendCount_ > 0) {
        pendingFlags_ |= stateFlags;
        return;
    }
    // Tested here rather than through ChangedEventListened, which a shared library cannot
    // inline: this is the cost of every setter of an object nobody listens to.
    if (changed_ && changed_->Listened())
        OnChanged_(std::make_shared<ChangedEventArgs>(stateFlags));
    else if (PassesChangesOn())
        OnChangedEventRaised(stateFlags);
}

void ChangedEventShareableBase::OnChanged_(const std::shared_ptr<ChangedEventArgs>& args)
{
    if (!PassesChangesOn()) {
        if (changed_)
            (*changed_)(args);
        return;
    }
    const auto self = weak_from_this().lock();
    if (changed_)
        (*changed_)(args);
    if (args)
        OnChangedEventRaised(args->StateFlags());
}

void ChangedEventShareableBase::ResumeAndRaiseChangedEvent()
{
    if (suspendCount_ == 0 || --suspendCount_ > 0)
        return;
    const std::uint64_t flags = pendingFlags_;
    pendingFlags_ = 0;
    OnChanged_(flags);
}

} // namespace Ostrel::Quill
