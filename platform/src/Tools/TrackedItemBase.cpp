#include <Ostrel/Vision/TrackedItemBase.h>

namespace Ostrel::Vision::Implementation {

void TrackedItemBase::setName(const std::string& name)
{
    if (name == name_)
        return;
    name_ = name;
    OnChanged_(SfName);
}

} // namespace Ostrel::Vision::Implementation
