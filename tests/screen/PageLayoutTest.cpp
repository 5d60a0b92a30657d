// The page layout of the printed screen picture and of the preview's miniature.
#include <gtest/gtest.h>

#include <cstdlib>

#include "screen/PageLayout.h"

using namespace printing;

TEST(PageLayout, NearestRoundsHalvesToEven)
{
    EXPECT_EQ(nearestDiv(5, 2), 2);
    EXPECT_EQ(nearestDiv(7, 2), 4);
    EXPECT_EQ(nearestDiv(-5, 2), -2);
    EXPECT_EQ(nearestDiv(-7, 2), -4);
    EXPECT_EQ(nearestDiv(501, 10), 50);
    EXPECT_EQ(nearestDiv(354, 10), 35);
    EXPECT_EQ(nearestDiv(355, 10), 36);  // 35.5 -> 36
    EXPECT_EQ(nearestDiv(345, 10), 34);  // 34.5 -> 34
    EXPECT_EQ(nearestDiv(-3, 10), 0);
    EXPECT_EQ(nearestDiv(0, 7), 0);
}

TEST(PageLayout, A4PortraitMiniature)
{
    // A4 at 600 dpi less the printer's margins keeps the 210 x 297 proportions closely enough.
    const Miniature m = miniatureFor(4960, 7015, false);
    EXPECT_EQ(m.W, 354);
    EXPECT_EQ(m.H, 501);
    EXPECT_EQ(m.X0, 64);
    EXPECT_EQ(Miniature::Top, 10);

    const PageLayout l = layoutPage(m.W, m.H, false, 567, 299);
    EXPECT_EQ(l.left, 35);
    EXPECT_EQ(l.right, 319);
    EXPECT_EQ(l.right - l.left, 284);
    EXPECT_EQ(l.top, 50);
    EXPECT_EQ(l.bottom, 50 + 150);    // 284 * 299 / 567 = 149.77
    EXPECT_EQ(l.captionY, 200 + 17);  // 501 / 30 = 16.7
}

TEST(PageLayout, A4LandscapeMiniatureIsCentred)
{
    const Miniature m = miniatureFor(297, 210, true);
    EXPECT_EQ(m.W, 472);
    EXPECT_EQ(m.H, 334);
    EXPECT_EQ(m.X0, 10);

    const PageLayout l = layoutPage(m.W, m.H, true, 567, 299);
    EXPECT_EQ(l.top, 67);  // a fifth of 334 above and below
    EXPECT_EQ(l.bottom, 334 - 67);
    EXPECT_EQ(l.left, 46);    // 236 - 200 * 567 / 598 = 46.37
    EXPECT_EQ(l.right, 425);  // 46 + 379.26
    EXPECT_LE(std::abs(l.left - (m.W - l.right)), 1);
    EXPECT_EQ(l.captionY, 267 + 11);
}

TEST(PageLayout, RealPageInPrinterPixels)
{
    // The printable part of an A4 page at 1200 dpi.
    const PageLayout l = layoutPage(9921, 14031, false, 567, 299);
    EXPECT_EQ(l.left, 992);
    EXPECT_EQ(l.right, 9921 - 992);
    EXPECT_EQ(l.top, 1403);
    EXPECT_EQ(l.bottom, 1403 + 4185);  // 7937 * 299 / 567 = 4185.47
    EXPECT_EQ(l.captionY, l.bottom + 468);
}

TEST(PageLayout, PictureWithoutPixelsGivesNothing)
{
    const PageLayout l = layoutPage(354, 501, false, 0, 299);
    EXPECT_EQ(l.right - l.left, 0);
    EXPECT_EQ(l.bottom - l.top, 0);
}
