#pragma once
// Helpers the tool tests share: archive round trips, record keys, a run that must succeed.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/ITool.h>
#include <Ostrel/Vision/Record.h>
#include <Ostrel/Vision/ToolPin.h>

inline std::string SaveToString(const std::shared_ptr<Ostrel::Quill::IObject>& object, std::uint32_t options)
{
    std::ostringstream out;
    Ostrel::Vision::Serialization::Save(out, object, options);
    return out.str();
}

template <class T>
std::shared_ptr<T> LoadFromString(const std::string& bytes)
{
    std::istringstream in(bytes);
    return std::dynamic_pointer_cast<T>(Ostrel::Vision::Serialization::Load(in));
}

// The FNV-1a hash of an archive's stored bytes: a change of the wire format (a field moved,
// added or dropped, on save and load alike) changes it.
inline std::uint64_t Fingerprint(const std::string& bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const unsigned char byte : bytes)
        hash = (hash ^ byte) * 0x100000001b3ull;
    return hash;
}

// Matches a call that throws an E whose Message() holds `text`.
template <class E>
auto ThrowsWith(const std::string& text)
{
    return testing::Throws<E>(testing::Property(&E::Message, testing::HasSubstr(text)));
}

inline std::vector<std::string> Keys(const Ostrel::Vision::Record& record)
{
    std::vector<std::string> keys;
    for (const auto& sub : record.SubRecords())
        keys.push_back(sub->Key());
    return keys;
}

inline std::vector<std::string> PinPaths(const Ostrel::Vision::ToolPinCollection& pins)
{
    std::vector<std::string> paths;
    for (const auto& pin : pins)
        paths.push_back(pin->Path());
    return paths;
}

// Runs the tool and fails the test, with the status message, unless the run succeeded.
inline void RunOk(Ostrel::Vision::ITool& tool)
{
    tool.Run();
    ASSERT_EQ(tool.RunStatus().Result(), Ostrel::Vision::ToolResultConstants::Accept) << tool.RunStatus().Message();
}
