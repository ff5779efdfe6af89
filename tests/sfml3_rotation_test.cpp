// Built against SFML 3 only: there compat::setRotation turns away an angle
// that SFML 3 cannot wrap, where SFML 2 takes it as NaN.
#include "sfml_compat.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(Sfml3Rotation, ANaNOrInfiniteAngleLeavesTheAngleAsItWas)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    for (const float angle : {std::numeric_limits<float>::quiet_NaN(), inf, -inf}) {
        sf::Transformable object;
        compat::setRotation(object, 30);
        compat::setRotation(object, angle);
        EXPECT_EQ(compat::rotationOf(object), 30) << "setRotation(" << angle << ")";
        compat::rotate(object, angle);
        EXPECT_EQ(compat::rotationOf(object), 30) << "rotate(" << angle << ")";
    }
}

}  // namespace
