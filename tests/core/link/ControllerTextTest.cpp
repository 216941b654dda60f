// The controller's version and model as the status bar and qvs-cli show them.
#include "core/link/ControllerText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(ControllerText, VersionAsTheStatusBarShowsIt)
{
    EXPECT_EQ(VersionWordText(0x1234), "v012.34");
    EXPECT_EQ(VersionWordText(1), "v000.01");
    EXPECT_EQ(VersionWordText(0x1A2B3), "v1A2.B3");
    EXPECT_EQ(VersionWordText(0x123456), "v1234.56") << "more than five digits are all shown";
    EXPECT_EQ(VersionWordText(291.5), "v001.24") << "rounded half to even first: 292";
    EXPECT_EQ(VersionWordText(290.5), "v001.22") << "290.5 rounds to 290 (0x122)";
    for (double nothing : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(), 1e300})
        EXPECT_EQ(VersionWordText(nothing), "----") << nothing;
}

TEST(ControllerText, ModelFromSectionsAndSystemType)
{
    EXPECT_EQ(ControllerModelText(1, 1), "DRC 100 P");
    EXPECT_EQ(ControllerModelText(2, 0), "DRC 200 F");
    EXPECT_EQ(ControllerModelText(4, 0), "DRC 400 F");
    EXPECT_EQ(ControllerModelText(0, 1), "---");
    EXPECT_EQ(ControllerModelText(5, 1), "---");
    EXPECT_EQ(ControllerModelText(3, 2), "---");
}
