#include <vector>

#include <gtest/gtest.h>

#include <Ostrel/Quill/ChangedSignal.h>

using namespace Ostrel::Quill;

namespace {

class Source : public ChangedEventShareableBase {
public:
    explicit Source(ObjectCreateAccessToken) {}
    void Raise(std::uint64_t flags) { OnChanged_(flags); }
};

// Records the flags of every event it receives; subscribes with a slot tracked on itself.
class Listener : public ShareableBase {
public:
    explicit Listener(ObjectCreateAccessToken) {}
    void Subscribe(Source& source)
    {
        connection_ = source.ChangedEvent().connect(
            ChangedSignal::slot_type(&Listener::OnEvent, this, boost::placeholders::_1)
                .track_foreign(SharedFromThisAs<Listener>()));
    }
    void OnEvent(const std::shared_ptr<ChangedEventArgs>& args) { received.push_back(args->StateFlags()); }
    std::vector<std::uint64_t> received;

private:
    boost::signals2::scoped_connection connection_;
};

} // namespace

TEST(Events, SuspendedRaisesArriveAsOneEvent)
{
    auto source = Create<Source>();
    auto listener = Create<Listener>();
    listener->Subscribe(*source);

    source->Raise(0x1);
    source->SuspendChangedEvent();
    source->SuspendChangedEvent();
    source->Raise(0x100);
    source->Raise(0x4);
    source->ResumeAndRaiseChangedEvent();
    EXPECT_EQ(listener->received, (std::vector<std::uint64_t>{0x1}));  // inner resume raises nothing
    source->ResumeAndRaiseChangedEvent();
    EXPECT_EQ(listener->received, (std::vector<std::uint64_t>{0x1, 0x104}));

    source->SuspendChangedEvent();
    source->ResumeAndRaiseChangedEvent();  // nothing collected, nothing raised
    source->ResumeAndRaiseChangedEvent();  // unbalanced resume is harmless
    source->Raise(0);                      // an empty mask is no event
    EXPECT_EQ(listener->received.size(), 2u);
}

TEST(Events, DestroyedSubscriberIsNeverCalledAndNotKeptAlive)
{
    auto source = Create<Source>();
    auto listener = Create<Listener>();
    listener->Subscribe(*source);
    std::weak_ptr<Listener> weak = listener;
    EXPECT_EQ(listener.use_count(), 1);  // the tracked slot holds no strong reference

    listener.reset();
    EXPECT_TRUE(weak.expired());
    source->Raise(0x8);  // would touch freed memory if the slot were still called
    EXPECT_EQ(source->ChangedEvent().num_slots(), 0u);
}

TEST(Events, CopyHasNoSubscribers)
{
    auto source = Create<Source>();
    auto listener = Create<Listener>();
    listener->Subscribe(*source);
    auto copy = std::make_shared<Source>(*source);
    EXPECT_EQ(copy->ChangedEvent().num_slots(), 0u);
    copy->Raise(0x2);
    EXPECT_TRUE(listener->received.empty());
}
