#pragma once
// A tool's row of the library's tables, checked against what the tool registers: its
// reflection name and base, its three record-switch enumerations (the input-image bits
// every tool has are added here), and the class version its archives carry. A family's
// test file lists its rows and calls ExpectToolRows.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <rttr/type>

#include "common/ToolTestSupport.h"

namespace ToolRowTests {

using Bits = std::vector<std::pair<std::string, std::uint32_t>>;

template <class T>
std::shared_ptr<Ostrel::Quill::IObject> New()
{
    return Ostrel::Quill::Create<T>();
}

struct ToolRow {
    std::shared_ptr<Ostrel::Quill::IObject> (*create)();
    const char* name;
    const char* base;
    Bits current, lastRun, diag;
};

inline Bits EnumerationBits(const std::string& name)
{
    const auto type = rttr::type::get_by_name(name);
    EXPECT_TRUE(type.is_enumeration()) << name;
    Bits bits;
    for (const auto& enumerator : type.get_enumeration().get_names())
        bits.emplace_back(enumerator.to_string(), type.get_enumeration().name_to_value(enumerator).to_uint32());
    std::sort(bits.begin(), bits.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return bits;
}

template <std::size_t N>
void ExpectToolRows(const ToolRow (&rows)[N])
{
    const std::string ns = "Ostrel::Vision::Geometry::";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto type = rttr::type::get_by_name(ns + row.name);
        ASSERT_TRUE(type.is_valid());
        EXPECT_TRUE(type.is_derived_from(rttr::type::get_by_name(ns + "Implementation::" + row.base)));
        for (const char* property : {"InputImage", "CurrentRecordEnable", "LastRunRecordEnable", "LastRunRecordDiagEnable"})
            EXPECT_TRUE(type.get_property(property).is_valid()) << property;

        const std::string stem = ns + std::string(row.name).substr(0, std::strlen(row.name) - 4);
        Bits current{{"InputImage", 0x1}}, diag{{"InputImageByReference", 0x1}, {"InputImageByCopy", 0x4}};
        current.insert(current.end(), row.current.begin(), row.current.end());
        diag.insert(diag.end(), row.diag.begin(), row.diag.end());
        EXPECT_EQ(EnumerationBits(stem + "CurrentRecordConstants"), current);
        EXPECT_EQ(EnumerationBits(stem + "LastRunRecordConstants"), row.lastRun);
        EXPECT_EQ(EnumerationBits(stem + "LastRunRecordDiagConstants"), diag);

        // Saved with class version 1: after the class name, the pointer id, then the version.
        const auto tool = row.create();
        EXPECT_EQ(rttr::type::get(*tool), type);
        const std::string bytes = SaveToString(tool, 0);
        const auto at = bytes.find(ns + row.name);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(bytes.substr(at + ns.size() + std::strlen(row.name) + 4, 4), std::string("\1\0\0\0", 4));
    }
}

} // namespace ToolRowTests
