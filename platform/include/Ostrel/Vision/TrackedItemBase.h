#pragma once

#include <cstdint>
#include <string>

#include <Ostrel/Quill/ChangedEvent.h>
#include <Ostrel/Vision/ITool.h>

namespace Ostrel::Vision::Implementation {

// A named object with a changed event: the common part of everything a tool block tracks.
class TrackedItemBase : public Quill::ChangedEventShareableBase, public virtual ITrackingCollectionTrackedItem {
public:
    static constexpr std::uint64_t sf0_ = 0x1;
    static constexpr std::uint64_t SfName = 0x1;
    static constexpr std::uint64_t sfNextSf_ = 0x2;

    ~TrackedItemBase() override = default;

    const std::string& Name() const override { return name_; }
    // Raises SfName when the name changes.
    void setName(const std::string& name) override;

protected:
    TrackedItemBase() = default;

    std::string name_;

    RTTR_ENABLE(Quill::ChangedEventShareableBase, ITrackingCollectionTrackedItem)
};

} // namespace Ostrel::Vision::Implementation
