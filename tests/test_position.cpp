#include "plateau/case.h"
#include "plateau/position.h"

#include <gtest/gtest.h>

namespace {

struct CasVoisin {
    Position (*voisin)(Position);
    Position depart;
    Position attendu;
};

TEST(Position, VoisinsAvecPassageDesBords)
{
    const CasVoisin cas[] = {
        {Est, {5, 4}, {6, 4}},
        {Est, {77, 4}, {0, 4}},
        {Ouest, {0, 4}, {77, 4}},
        {Nord, {10, 0}, {10, 20}},
        {Sud, {10, 20}, {10, 0}},
        {Nord, {10, 5}, {10, 4}},
        // Hors grille : nulle part.
        {Est, POSITION_INVALIDE, POSITION_INVALIDE},
        {Nord, POSITION_INVALIDE, POSITION_INVALIDE},
        {Ouest, {78, 0}, POSITION_INVALIDE},
        {Sud, {0, 21}, POSITION_INVALIDE},
    };
    for (const CasVoisin& c : cas) {
        EXPECT_EQ(c.voisin(c.depart), c.attendu) << c.depart.x << "," << c.depart.y;
    }
}

TEST(Position, EstVoisin)
{
    EXPECT_TRUE(EstVoisin({0, 5}, {77, 5}));
    EXPECT_TRUE(EstVoisin({3, 0}, {3, 20}));
    EXPECT_FALSE(EstVoisin({4, 4}, {4, 4}));
    EXPECT_FALSE(EstVoisin({1, 1}, {2, 2}));
    EXPECT_FALSE(EstVoisin({1, 1}, {3, 1}));
    EXPECT_FALSE(EstVoisin(POSITION_INVALIDE, {0, 0}));
    EXPECT_FALSE(EstVoisin({0, 0}, POSITION_INVALIDE));
    EXPECT_FALSE(EstVoisin({78, 5}, {77, 5}));
}

TEST(Case, ObstaclesEtPassages)
{
    for (const Case c : {'P', 'F', '?', '#', '\t', '\r', '\x7f', '\xE9'}) {
        EXPECT_TRUE(EstObstacle(c)) << static_cast<int>(c);
    }
    for (const Case c : {' ', '.', '\x01', '\x02'}) {
        EXPECT_FALSE(EstObstacle(c)) << static_cast<int>(c);
    }
    EXPECT_TRUE(EstPastille('.'));
    EXPECT_FALSE(EstPastille(' '));
}

} // namespace
