#pragma once
// The ordered collections of the tool model (a tool's pins, a record's sub-records): items
// held by shared pointer, iterated in insertion order, reached by position or by key.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::Implementation {

// KeyOf is a function object type giving an item's key (a ToolPin's Path, a Record's
// Key). `name` names the collection in error messages.
template <class T, class KeyOf>
class KeyedCollection {
public:
    using const_iterator = typename std::vector<std::shared_ptr<T>>::const_iterator;

    explicit KeyedCollection(std::string name) : name_(std::move(name)) {}
    KeyedCollection(const KeyedCollection&) = delete;
    KeyedCollection& operator=(const KeyedCollection&) = delete;

    std::size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }

    // Throws ArgumentOutOfRangeException for an index not below Count().
    const std::shared_ptr<T>& operator[](std::size_t index) const
    {
        if (index >= items_.size())
            throw ArgumentOutOfRangeException(Strings::Substitute(
                Strings::IDS_Ost_InvalidArgGEandLT_3, {name_, "0", std::to_string(items_.size())}));
        return items_[index];
    }

    // The first item with the key; throws ArgumentException if there is none.
    const std::shared_ptr<T>& operator[](std::string_view key) const
    {
        for (const auto& item : items_)
            if (KeyOf{}(*item) == key)
                return item;
        throw ArgumentException(name_ + " holds no item with the key \"" + std::string(key) + "\".");
    }

    // The first item with the key, or null.
    std::shared_ptr<T> Find(std::string_view key) const
    {
        for (const auto& item : items_)
            if (KeyOf{}(*item) == key)
                return item;
        return nullptr;
    }

    bool Contains(std::string_view key) const { return Find(key) != nullptr; }

    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

protected:
    // Appends a non-null item; throws ArgumentNullException for a null one.
    void Append(std::shared_ptr<T> item)
    {
        if (!item)
            throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {name_ + " item"}));
        items_.push_back(std::move(item));
    }

    const std::string& CollectionName() const { return name_; }

private:
    std::string name_;
    std::vector<std::shared_ptr<T>> items_;
};

} // namespace Ostrel::Vision::Implementation
