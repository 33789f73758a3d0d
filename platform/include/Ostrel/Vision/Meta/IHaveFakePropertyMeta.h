#pragma once

#include <memory>
#include <vector>

#include <Ostrel/Quill/IObject.h>
#include <Ostrel/Vision/Meta/FakePropertyMeta.h>

namespace Ostrel::Vision::Meta {

// An object that lists fake properties of its own, typically
// GetFakePropertiesForNoArgMethods of its type followed by indexed ones
// (AppendIndexedFakeProperties). Tool pins resolve "Name(k)" steps through this list.
class IHaveFakePropertyMeta : public virtual Quill::IObject {
public:
    virtual std::vector<std::shared_ptr<FakePropertyMeta>> GetFakeProperties() const = 0;

    RTTR_ENABLE(Quill::IObject)
};

} // namespace Ostrel::Vision::Meta
