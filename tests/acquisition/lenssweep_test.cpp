// The arithmetic of both lens sides of an autofocus: where a search starts, where each step
// goes, and where the final approach puts the lens.

#include <gtest/gtest.h>

#include "lenssweep.h"

using acq::LensSweep;
using acq::SweepState;

TEST(LensSweep, TheSmbusSearchStartsAboveTheStoredFocusOrInTheMiddle)
{
    struct Case { int stored, focusMin, focusMax, start; } cases[] = {
        {4000, 1000, 9000, 4250},
        // 9250 clamped to 8795, beyond focusMax - eighth - 200 = 7800: the middle.
        {9000, 1000, 9000, 5000},
        // 250 raised to 1295, below focusMin + eighth + 300 = 2300: the middle.
        {0, 1000, 9000, 5000},
        {2050, 1000, 9000, 2300},
        {2049, 1000, 9000, 5000},
        {7550, 1000, 9000, 7800},
        {7551, 1000, 9000, 5000},
        {3000, 100, 9000, 3250},
    };
    for (const Case& c : cases)
        EXPECT_EQ(acq::smbusStartPosition(c.stored, c.focusMin, c.focusMax), c.start) << c.stored;
}

TEST(LensSweep, StepsGoDownTurnAtTheLowerEndAndStopAtTheUpperEnd)
{
    struct Case {
        const char* name;
        LensSweep sweep;
        int focusMin, focusMax;
        SweepState before;
        SweepState after;
    } cases[] = {
        {"board lens down", LensSweep::serialLens(), 1000, 3500, {2075, false, 0, false}, {2060, false, 0, false}},
        {"board lens at 1015 still steps", LensSweep::serialLens(), 1000, 3500, {1015, false, 1, false},
         {1000, false, 1, false}},
        {"board lens at 1014 turns", LensSweep::serialLens(), 1000, 3500, {1014, false, 1, false},
         {1000, true, 2, false}},
        {"board lens up", LensSweep::serialLens(), 1000, 3500, {2000, true, 1, false}, {2015, true, 1, false}},
        {"board lens at 3485 still steps", LensSweep::serialLens(), 1000, 3500, {3485, true, 1, false},
         {3500, true, 1, false}},
        {"board lens at 3486 ends", LensSweep::serialLens(), 1000, 3500, {3486, true, 1, false},
         {3486, true, 1, true}},
        {"board lens without range", LensSweep::serialLens(), 0, 0, {10, false, 0, false}, {0, true, 1, false}},
        {"SMBus lens down", LensSweep::smbusLens(), 1000, 9000, {4250, false, 0, false}, {4200, false, 0, false}},
        {"SMBus lens at 1349 turns", LensSweep::smbusLens(), 1000, 9000, {1349, false, 0, false},
         {1300, true, 1, false}},
        {"SMBus lens at 1350 steps", LensSweep::smbusLens(), 1000, 9000, {1350, false, 0, false},
         {1300, false, 0, false}},
        {"SMBus lens up", LensSweep::smbusLens(), 1000, 9000, {5000, true, 2, false}, {5050, true, 2, false}},
        {"SMBus lens at 8751 ends", LensSweep::smbusLens(), 1000, 9000, {8751, true, 2, false},
         {8751, true, 2, true}},
        {"SMBus lens at 8750 steps", LensSweep::smbusLens(), 1000, 9000, {8750, true, 2, false},
         {8800, true, 2, false}},
    };
    for (const Case& c : cases) {
        const SweepState s = acq::nextStep(c.sweep, c.before, c.focusMin, c.focusMax);
        EXPECT_EQ(s.position, c.after.position) << c.name;
        EXPECT_EQ(s.direction, c.after.direction) << c.name;
        EXPECT_EQ(s.reversals, c.after.reversals) << c.name;
        EXPECT_EQ(s.atUpperEnd, c.after.atUpperEnd) << c.name;
    }
}

TEST(LensSweep, TheFinalApproachGoesBackPastTheSharpestFrameWithinTheEdges)
{
    struct Case {
        const char* name;
        LensSweep sweep;
        int position;
        bool direction;
        int afOffset;
        int focusMin, focusMax;
        int final;
    } cases[] = {
        {"board lens down", LensSweep::serialLens(), 2000, false, 10, 1000, 3500, 2055},
        {"board lens down near the top", LensSweep::serialLens(), 3450, false, 10, 1000, 3500, 3500},
        {"board lens up", LensSweep::serialLens(), 3486, true, 0, 1000, 3500, 3441},
        {"board lens up near the bottom", LensSweep::serialLens(), 1040, true, 0, 1000, 3500, 1000},
        {"board lens up, offset", LensSweep::serialLens(), 2100, true, 10, 1000, 3500, 2045},
        {"SMBus lens down", LensSweep::smbusLens(), 5000, false, 30, 1000, 9000, 5230},
        {"SMBus lens down near the top", LensSweep::smbusLens(), 8600, false, 30, 1000, 9000, 8800},
        {"SMBus lens up from the top", LensSweep::smbusLens(), 8751, true, 30, 1000, 9000, 8521},
        {"SMBus lens up near the bottom", LensSweep::smbusLens(), 1400, true, 30, 1000, 9000, 1300},
    };
    for (const Case& c : cases)
        EXPECT_EQ(acq::finalPosition(c.sweep, c.position, c.direction, c.afOffset, c.focusMin, c.focusMax), c.final)
            << c.name;
}
