#pragma once
// The framework's exception hierarchy. Every exception carries a filled message (see
// Strings.h) and a code, can be cloned into a run status and thrown again later with its
// own type.

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include <Ostrel/Quill/IException.h>

namespace Ostrel::Vision {

enum class VisionExceptionCodes : std::uint32_t {
    General = 0x1000,
    Argument,
    ArgumentNull,
    ArgumentOutOfRange,
    InvalidOperation,
    Shape,
    Serialization,
    InternalError,
    ToolNoResult,
    ToolNoOperator,
    OperatorNoInputImage,
};

class VisionException : public std::exception, public virtual Quill::IException {
public:
    explicit VisionException(std::string message, std::uint32_t code = static_cast<std::uint32_t>(VisionExceptionCodes::General))
        : message_(std::move(message)), code_(code) {}
    VisionException(ObjectCreateAccessToken, std::string message,
                    std::uint32_t code = static_cast<std::uint32_t>(VisionExceptionCodes::General))
        : VisionException(std::move(message), code) {}
    VisionException(const VisionException&) = default;
    VisionException& operator=(const VisionException&) = default;
    ~VisionException() override = default;

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const { return message_; }
    std::uint32_t Code() const { return code_; }

    std::shared_ptr<Quill::IException> CloneException() const override;
    [[noreturn]] void ThrowException() const override;

private:
    std::string message_;
    std::uint32_t code_;

    RTTR_ENABLE(Quill::IException)
};

// Declares a framework exception class: constructors from a message (with or without the
// factory token), clone and rethrow with its own type.
#define OSTREL_DECLARE_EXCEPTION(Class, Base, CodeValue)                                              \
    class Class : public Base {                                                                        \
    public:                                                                                            \
        explicit Class(std::string message, std::uint32_t code = static_cast<std::uint32_t>(CodeValue)) \
            : Base(std::move(message), code) {}                                                        \
        Class(ObjectCreateAccessToken, std::string message)                                            \
            : Class(std::move(message)) {}                                                             \
        std::shared_ptr<Quill::IException> CloneException() const override                            \
        {                                                                                              \
            return std::make_shared<Class>(*this);                                                     \
        }                                                                                              \
        [[noreturn]] void ThrowException() const override { throw *this; }                            \
        RTTR_ENABLE(Base)                                                                              \
    }

OSTREL_DECLARE_EXCEPTION(ArgumentException, VisionException, VisionExceptionCodes::Argument);
OSTREL_DECLARE_EXCEPTION(ArgumentNullException, ArgumentException, VisionExceptionCodes::ArgumentNull);
OSTREL_DECLARE_EXCEPTION(ArgumentOutOfRangeException, ArgumentException, VisionExceptionCodes::ArgumentOutOfRange);
OSTREL_DECLARE_EXCEPTION(InvalidOperationException, VisionException, VisionExceptionCodes::InvalidOperation);
OSTREL_DECLARE_EXCEPTION(ShapeException, VisionException, VisionExceptionCodes::Shape);
OSTREL_DECLARE_EXCEPTION(SerializationException, VisionException, VisionExceptionCodes::Serialization);
OSTREL_DECLARE_EXCEPTION(InternalErrorException, VisionException, VisionExceptionCodes::InternalError);
OSTREL_DECLARE_EXCEPTION(ToolNoResultException, VisionException, VisionExceptionCodes::ToolNoResult);
OSTREL_DECLARE_EXCEPTION(ToolNoOperatorException, VisionException, VisionExceptionCodes::ToolNoOperator);
OSTREL_DECLARE_EXCEPTION(OperatorNoInputImageException, VisionException, VisionExceptionCodes::OperatorNoInputImage);

} // namespace Ostrel::Vision
