// The code map's bound on where a rectangle of the code lands: the readers
// pass over a whole band when it says the band misses the picture, so it
// must never say so of a band that reaches it.
#include "densecode/reader/code_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "densecode/format.h"

namespace zeseal::densecode {
namespace {

struct BoundCase {
    const char* name;
    double scale;   // picture pixels a code pixel
    double angle;   // degrees
    double bend;    // size of the keystone and bow terms, picture pixels
};

const BoundCase kBoundCases[] = {
    {"300 dpi, square", 1, 0, 0},
    {"600 dpi, turned", 2, 5, 0},
    {"upside down, bent", 2, 181, 6},
    {"small and steep", 0.4, 40, 2},
    {"huge", 8, -3, 30},
};

CodeMap MapOf(const BoundCase& c, PointD origin, std::mt19937& random) {
    const double a = c.angle * 3.14159265358979 / 180;
    CodeMap map = CodeMap::Affine(origin, {c.scale * std::cos(a), c.scale * std::sin(a)},
                                  {-c.scale * std::sin(a), c.scale * std::cos(a)});
    std::uniform_real_distribution<double> bend(-c.bend, c.bend);
    for (int k = 3; k < kCodeMapTerms; ++k) {
        map.cx[std::size_t(k)] = bend(random);
        map.cy[std::size_t(k)] = bend(random);
    }
    return map;
}

TEST(CodeMapBound, NeverMissesARectangleThatReachesThePicture) {
    constexpr std::int32_t kWidth = 300, kHeight = 200;
    for (const BoundCase& c : kBoundCases) {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> where(-3000, 3000);
        std::uniform_real_distribution<double> along(0, kDenseCodeWidth);
        int reaching = 0, passed = 0;
        for (int trial = 0; trial < 300; ++trial) {
            const CodeMap map = MapOf(c, {where(random), where(random) / 4}, random);
            double u0 = along(random), u1 = along(random);
            if (u1 < u0) std::swap(u0, u1);
            const double v0 = 0, v1 = kDenseCodeHeight;
            // Whether any point of a fine grid over the rectangle lands in the picture.
            bool reaches = false;
            for (int i = 0; i <= 200 && !reaches; ++i) {
                for (int j = 0; j <= 16 && !reaches; ++j) {
                    const PointD p = map.Apply(u0 + (u1 - u0) * i / 200, v0 + (v1 - v0) * j / 16);
                    reaches = p.x >= 0 && p.y >= 0 && p.x < kWidth && p.y < kHeight;
                }
            }
            const bool may = map.MayReach(u0, u1, v0, v1, kWidth, kHeight, 0);
            if (reaches) {
                ++reaching;
                EXPECT_TRUE(may) << c.name << ", trial " << trial;
            }
            passed += !may;
        }
        // The bound is of use: most rectangles far from the picture are passed over.
        EXPECT_GT(reaching, 0) << c.name;
        EXPECT_GT(passed, 100) << c.name;
    }
}

TEST(CodeMapBound, LeavesAMapThatIsNotFiniteToThePointsChecks) {
    CodeMap map = CodeMap::Affine({10, 10}, {1, 0}, {0, 1});
    map.cx[3] = std::nan("");
    EXPECT_TRUE(map.MayReach(0, 100, 0, 128, 50, 50, 0));
}

}  // namespace
}  // namespace zeseal::densecode
