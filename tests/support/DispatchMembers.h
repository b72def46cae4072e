#pragma once
// Checks a class's dispatch table against the members callers and stored files know.
#include "platform/Com.h"

#include <gtest/gtest.h>

#include <set>
#include <span>

namespace TestSupport {

struct KnownMember {
    const char* name;
    int32_t dispid;
    uint8_t kinds; // M, G or GP
    uint8_t argumentCount;
};
constexpr uint8_t M = Platform::Com::DISPATCH_METHOD, G = Platform::Com::DISPATCH_PROPERTYGET,
                  GP = Platform::Com::DISPATCH_PROPERTYGET | Platform::Com::DISPATCH_PROPERTYPUT;

// The table holds exactly these members in this order, each identifier once, each found by
// its name whatever the case.
inline void ExpectMembers(const Platform::Com::ClassInfo& info,
                          std::span<const KnownMember> known) {
    SCOPED_TRACE(info.progId);
    ASSERT_EQ(info.members.size(), known.size());
    std::set<int32_t> ids;
    for (size_t i = 0; i < known.size(); ++i) {
        const Platform::Com::DispatchMember& m = info.members[i];
        SCOPED_TRACE(known[i].name);
        EXPECT_STREQ(m.name, known[i].name);
        EXPECT_EQ(m.dispid, known[i].dispid);
        EXPECT_EQ(m.kinds, known[i].kinds);
        EXPECT_EQ(m.argumentCount, known[i].argumentCount);
        EXPECT_TRUE(ids.insert(m.dispid).second) << "identifier used twice";
        std::string lower(known[i].name);
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(Platform::Com::FindMemberByName(info, lower), &m);
    }
}

} // namespace TestSupport
