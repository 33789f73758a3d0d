#pragma once
// Helpers the tool tests share: archive round trips, record keys, a run that must succeed.

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/ITool.h>
#include <Ostrel/Vision/Record.h>

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
