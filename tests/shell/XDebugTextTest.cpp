// The frame's debug lines: the counters' quick form writes what the printf form would.
#include "shell/XDebugText.h"

#include <gtest/gtest.h>

#include <climits> // LONG_MIN, LONG_MAX

TEST(DebugText, CountLinesReadAsTheirPrintfForm)
{
    for (const long value : {0L, 7L, -3L, 1234567L, LONG_MAX, LONG_MIN}) {
        XDebugText quick;
        quick.AppendCount("Slides : ", value);
        XDebugText printed;
        printed.AppendLine("Slides : %ld", value);
        EXPECT_STREQ(quick.Text(), printed.Text()) << value;
    }
    XDebugText lines;
    lines.AppendCount("# nodes checked : ", 12);
    lines.AppendLine("player at: %.2f", 1.5);
    lines.AppendCount("Overlaps : ", 0);
    EXPECT_STREQ(lines.Text(), "# nodes checked : 12\nplayer at: 1.50\nOverlaps : 0\n");
    lines.Clear();
    EXPECT_STREQ(lines.Text(), "");
}
