#pragma once
// A node of the record trees that tools build for display: a current record (the tool's
// inputs, with live draggable graphics) or a last-run record (the inputs as they were and
// the result graphics). A record holds a keyed value and its sub-records; it may also hold
// content made by an IRecordConstructor.

#include <cstdint>
#include <memory>
#include <string>

#include <rttr/type>

#include <Ostrel/Quill/IObject.h>
#include <Ostrel/Vision/KeyedCollection.h>

namespace Ostrel::Vision {

class IRecordConstructor;

// What a record stands for, and so how a display treats it.
enum class RecordUsageConstants : std::int32_t {
    None = 0,
    Container = 1,           // only groups its sub-records: the root of a record tree
    CurrentInteractive = 2,  // a live input graphic that the user may drag (flag true)
    CurrentInput = 4,        // a current input shown as it is, such as the input image
    LastRunInput = 5,        // an input as the last run saw it (kept image, record copy)
    LastRunResult = 6,       // a graphic made from the results of the last run
};

class Record;

struct RecordKey {
    const std::string& operator()(const Record& record) const;
};

// Sub-records in insertion order; keys need not be unique (lookup by key finds the first).
class RecordCollection : public Implementation::KeyedCollection<Record, RecordKey> {
public:
    RecordCollection() : KeyedCollection("SubRecords") {}
    // Appends a sub-record; throws ArgumentNullException for a null one.
    void Add(std::shared_ptr<Record> record) { Append(std::move(record)); }
};

class Record : public Quill::ShareableBase {
public:
    Record(ObjectCreateAccessToken, std::string key, rttr::type valueType, RecordUsageConstants usage, bool flag,
           std::shared_ptr<Quill::IObject> value, std::string annotation);
    ~Record() override;

    const std::string& Key() const { return key_; }
    rttr::type ValueType() const { return valueType_; }
    RecordUsageConstants Usage() const { return usage_; }
    bool Flag() const { return flag_; }
    const std::string& Annotation() const { return annotation_; }
    void setAnnotation(const std::string& annotation) { annotation_ = annotation; }

    const std::shared_ptr<Quill::IObject>& Value() const { return value_; }
    template <class T>
    std::shared_ptr<T> ValueAs() const
    {
        return std::dynamic_pointer_cast<T>(value_);
    }

    RecordCollection& SubRecords() { return subRecords_; }
    const RecordCollection& SubRecords() const { return subRecords_; }

    // What the record's constructor built (null if none was given, or it built nothing).
    const std::shared_ptr<Quill::IObject>& Content() const { return content_; }
    template <class T>
    std::shared_ptr<T> ContentAs() const
    {
        return std::dynamic_pointer_cast<T>(content_);
    }
    void setContent(const std::shared_ptr<Quill::IObject>& content) { content_ = content; }

    // Hands the record to a constructor: keeps the constructor and the mask, then calls
    // its ConstructContent, ConstructAnnotation and ConstructSubRecords, in that order,
    // each with this record and the mask. A null constructor is kept as an empty one and
    // builds nothing. Exceptions of the constructor pass through.
    void Construct(const std::shared_ptr<IRecordConstructor>& constructor, std::uint32_t mask);
    const std::shared_ptr<IRecordConstructor>& Constructor() const { return constructor_; }
    std::uint32_t ConstructorMask() const { return constructorMask_; }

private:
    std::string key_;
    rttr::type valueType_;
    RecordUsageConstants usage_;
    bool flag_;
    std::shared_ptr<Quill::IObject> value_;
    std::string annotation_;
    RecordCollection subRecords_;
    std::shared_ptr<Quill::IObject> content_;
    std::shared_ptr<IRecordConstructor> constructor_;
    std::uint32_t constructorMask_ = 0;

    RTTR_ENABLE(Quill::ShareableBase)
};

inline const std::string& RecordKey::operator()(const Record& record) const
{
    return record.Key();
}

} // namespace Ostrel::Vision
