// The library's exception through a run status, and MathUtils's out-parameters on failure.
#include <cmath>

#include <gtest/gtest.h>

#include <Geometry/GeometryException.h>
#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Exceptions.h>

using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Geometry;

TEST(Registration, GeometryExceptionKeepsItsCodeThroughARunStatus)
{
    const GeometryException original("The points specified for the fitting operation are ambiguous",
                                     GeometryExceptionCodes::AmbiguousPoints);
    EXPECT_EQ(original.Code(), 2u);
    try {
        original.CloneException()->ThrowException();
        FAIL();
    } catch (const GeometryException& e) {
        EXPECT_EQ(e.GeometryCode(), GeometryExceptionCodes::AmbiguousPoints);
        EXPECT_EQ(rttr::type::get<GeometryExceptionCodes>().get_enumeration().value_to_name(e.GeometryCode()),
                  "AmbiguousPoints");
        EXPECT_EQ(e.Message(), original.Message());
    }
}

TEST(Registration, MathUtilsLeavesItsOutParametersWhenItThrows)
{
    double angle = 7;
    EXPECT_THROW(MathUtils::DistancePointPoint(0, std::nan(""), 1, 1, angle), ArgumentException);
    EXPECT_EQ(angle, 7);
}
