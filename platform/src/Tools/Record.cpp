#include <Ostrel/Vision/Record.h>
#include <Ostrel/Vision/RecordConstructor.h>

namespace Ostrel::Vision {

Record::Record(ObjectCreateAccessToken, std::string key, rttr::type valueType, RecordUsageConstants usage, bool flag,
               std::shared_ptr<Quill::IObject> value, std::string annotation)
    : key_(std::move(key)), valueType_(valueType), usage_(usage), flag_(flag), value_(std::move(value)),
      annotation_(std::move(annotation))
{
}

Record::~Record() = default;

void Record::Construct(const std::shared_ptr<IRecordConstructor>& constructor, std::uint32_t mask)
{
    constructor_ = constructor;
    constructorMask_ = mask;
    if (!constructor)
        return;
    constructor->ConstructContent(*this, mask);
    constructor->ConstructAnnotation(*this, mask);
    constructor->ConstructSubRecords(*this, mask);
}

} // namespace Ostrel::Vision
