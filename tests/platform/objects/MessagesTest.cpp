#include <cmath>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/MiscUtils.h>
#include <Ostrel/Vision/StatusMapper.h>
#include <Ostrel/Vision/Strings.h>

using namespace Ostrel::Vision;

TEST(Messages, SubstituteFillsPlaceholdersOnce)
{
    EXPECT_EQ(Strings::Substitute("X=%1, Y=%2", {"1.5", "-2"}), "X=1.5, Y=-2");
    EXPECT_EQ(Strings::Substitute("%2%1", {"a", "b"}), "ba");
    EXPECT_EQ(Strings::Substitute("%1 and %3 and %0", {"a", "b"}), "a and %3 and %0");
    EXPECT_EQ(Strings::Substitute("%1", {"%2", "x"}), "%2");  // inserted text is not expanded
    EXPECT_EQ(Strings::Substitute("%12", {"a"}), "%12");       // 12 is out of range: left as written
    EXPECT_EQ(Strings::Substitute("%99999999999999999999999", {"a"}), "%99999999999999999999999");
    EXPECT_EQ(Strings::Substitute("100% sure %", {}), "100% sure %");
    EXPECT_EQ(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"InputSegment"}),
              "The argument InputSegment must not be null.");
}

TEST(Messages, FixedPrecisionNumbers)
{
    using Ostrel::Vision::Private::MiscUtils::GetFixedPrecisionNumericString;
    EXPECT_EQ(GetFixedPrecisionNumericString(12.5, 6), "12.500000");
    EXPECT_EQ(GetFixedPrecisionNumericString(1.5707963267948966, 6), "1.570796");
    EXPECT_EQ(GetFixedPrecisionNumericString(-0.0000001, 3), "0.000");
    EXPECT_EQ(GetFixedPrecisionNumericString(-2.25, 1), "-2.2");  // round half to even, as printf
    EXPECT_EQ(GetFixedPrecisionNumericString(1e20, 0), "100000000000000000000");
    EXPECT_EQ(GetFixedPrecisionNumericString(std::nan(""), 3), "NaN");
}

TEST(Exceptions, CloneAndRethrowKeepTypeMessageAndCode)
{
    const ArgumentNullException original("no segment");
    auto clone = original.CloneException();
    try {
        clone->ThrowException();
        FAIL();
    } catch (const ArgumentNullException& e) {
        EXPECT_EQ(e.Message(), "no segment");
        EXPECT_STREQ(e.what(), "no segment");
        EXPECT_EQ(e.Code(), static_cast<std::uint32_t>(VisionExceptionCodes::ArgumentNull));
    }
    EXPECT_THROW(ToolNoResultException("x").ThrowException(), VisionException);
    EXPECT_EQ(rttr::type::get(*clone).get_name(), "Ostrel::Vision::ArgumentNullException");
}

TEST(Exceptions, StatusMapperThrowsOnFailureOnly)
{
    EXPECT_NO_THROW(ThrowOnFailedStatus(FitStatus::Ok));
    EXPECT_NO_THROW(ThrowOnFailedStatus(0x00000001));  // informational statuses are success
    EXPECT_THROW(ThrowOnFailedStatus(FitStatus::TooFewPoints), ArgumentException);
    EXPECT_THROW(ThrowOnFailedStatus(FitStatus::NonFiniteInput), ArgumentException);
    try {
        ThrowOnFailedStatus(0x8000DEAD);
        FAIL();
    } catch (const InternalErrorException& e) {
        EXPECT_NE(e.Message().find("0x8000DEAD"), std::string::npos);
    }
}
