#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

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

// The text is printf's correctly rounded fixed notation (less the sign of a zero) for every
// value: near a decimal halfway point, on a binary value that is exactly halfway (a multiple
// of 1/16 at three decimals), at every magnitude, and appended after what a string holds.
TEST(Messages, FixedPrecisionAgreesWithPrintfEverywhere)
{
    using Ostrel::Vision::Private::MiscUtils::AppendFixedPrecisionNumericString;
    std::mt19937_64 random(20261206);
    const auto uniform = [&](double low, double high) { return std::uniform_real_distribution(low, high)(random); };
    const auto whole = [&](long range) { return static_cast<double>(std::uniform_int_distribution(-range, range)(random)); };
    const std::function<double()> families[] = {
        [&] { return uniform(-1e4, 1e4); },
        [&] { return whole(20'000'000) / 2000; },  // decimal halfway points at three decimals
        [&] { return whole(1 << 24) / 16; },       // exact binary ties at up to four decimals
        [&] { return std::nextafter(whole(1'000'000) + 0.5, uniform(-1, 1) < 0 ? 0.0 : 1e9); },
        [&] { return uniform(-1, 1) * std::pow(10.0, uniform(-8, 17)); },
    };
    for (const int decimals : {0, 1, 3, 6, 9, 12})
        for (const auto& family : families)
            for (int k = 0; k < 4000; ++k) {
                const double value = family();
                char expected[400];
                std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
                std::string reference = expected;
                if (reference.find_first_not_of("-0.") == std::string::npos && reference[0] == '-')
                    reference.erase(0, 1);
                std::string text = "x=";
                AppendFixedPrecisionNumericString(text, value, decimals);
                ASSERT_EQ(text, "x=" + reference) << decimals << " decimals of " << value;
            }
    using Ostrel::Vision::Private::MiscUtils::GetFixedPrecisionNumericString;
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
