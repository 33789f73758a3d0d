#pragma once

#include <cstdint>

#include <Ostrel/Quill/IObject.h>

namespace Ostrel::Vision {

class Record;

// Builds what a record shows when the record asks for it (Record::Construct): its content
// (a graphic collection, say), its annotation and its sub-records. The mask is the
// argument the record was given, and selects what to build.
class IRecordConstructor : public virtual Quill::IObject {
public:
    virtual void ConstructContent(Record& record, std::uint32_t mask) = 0;
    virtual void ConstructAnnotation(Record& record, std::uint32_t mask) = 0;
    virtual void ConstructSubRecords(Record& record, std::uint32_t mask) = 0;

    RTTR_ENABLE(Quill::IObject)
};

} // namespace Ostrel::Vision
