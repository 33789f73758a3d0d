#pragma once

#include <memory>

#include <Ostrel/Quill/IObject.h>

namespace Ostrel::Quill {

// An exception that can be kept (CloneException) and thrown again later with its own
// dynamic type (ThrowException), as a tool's run status does.
class IException : public virtual IObject {
public:
    virtual std::shared_ptr<IException> CloneException() const = 0;
    [[noreturn]] virtual void ThrowException() const = 0;

    RTTR_ENABLE(IObject)
};

} // namespace Ostrel::Quill
