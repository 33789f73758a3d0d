#pragma once
// The object model: every framework and library object derives (virtually) from IObject,
// is constructed only by the factory Create<T> (or by its own private default
// constructor, used when an archive is loaded) and is held by std::shared_ptr.

#include <memory>
#include <string>
#include <utility>

#include <rttr/rttr_enable.h>
#include <rttr/type>

namespace Ostrel::Quill {

class IObject;

template <class T, class... Args>
std::shared_ptr<T> Create(Args&&... args);

class IObject {
public:
    // Proof of construction by the factory. Only Create<T> and a class's own code
    // (through MakeAccessToken) can make one, so that hosts cannot bypass the factory.
    class ObjectCreateAccessToken {
        ObjectCreateAccessToken() = default;
        friend class IObject;
        template <class T, class... Args>
        friend std::shared_ptr<T> Create(Args&&... args);
    };

    // Pure, so that IObject is abstract: a pointer to it always holds some concrete object.
    virtual ~IObject() = 0;

protected:
    IObject() = default;
    IObject(const IObject&) = default;
    IObject& operator=(const IObject&) = default;

    // For a class's private default constructor, which delegates to its public
    // constructor with a token of its own.
    static ObjectCreateAccessToken MakeAccessToken() { return {}; }

    // Called by the factory once the object is owned by a shared pointer, so that an
    // object may subscribe to events with a weak pointer to itself.
    virtual void OnFinalConstruct() {}

    template <class T, class... Args>
    friend std::shared_ptr<T> Create(Args&&... args);

    RTTR_ENABLE()
};

inline IObject::~IObject() = default;

// The factory: constructs T(token, args...), then calls OnFinalConstruct.
template <class T, class... Args>
std::shared_ptr<T> Create(Args&&... args)
{
    auto object = std::make_shared<T>(IObject::ObjectCreateAccessToken{}, std::forward<Args>(args)...);
    static_cast<IObject&>(*object).OnFinalConstruct();
    return object;
}

// Base of stateless framework objects (MathUtils and the like).
class ObjectBase : public virtual IObject {
public:
    ObjectBase() = default;
    ~ObjectBase() override = default;

    RTTR_ENABLE(IObject)
};

// Shared ownership: shared_from_this and a textual description.
class ShareableBase : public virtual IObject, public std::enable_shared_from_this<ShareableBase> {
public:
    ~ShareableBase() override = default;

    // The registered type name of the most derived class.
    virtual std::string ToString() const;

    // shared_from_this as the caller's own type. ShareableBase is never a virtual base,
    // so the cast down is a static one.
    template <class T>
    std::shared_ptr<T> SharedFromThisAs()
    {
        return std::static_pointer_cast<T>(shared_from_this());
    }
    template <class T>
    std::shared_ptr<const T> SharedFromThisAs() const
    {
        return std::static_pointer_cast<const T>(shared_from_this());
    }

protected:
    ShareableBase() = default;
    ShareableBase(const ShareableBase&) : IObject(), std::enable_shared_from_this<ShareableBase>() {}
    ShareableBase& operator=(const ShareableBase&) { return *this; }

    RTTR_ENABLE(IObject)
};

} // namespace Ostrel::Quill
