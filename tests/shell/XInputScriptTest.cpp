// Input scripts: the event forms, their frames, and errors that name the line.
#include "shell/WindowMessages.h"
#include "shell/XInputScript.h"

#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

namespace {

XInputScript Parsed(const std::string& text)
{
    XInputScript script;
    std::string error;
    EXPECT_TRUE(script.Parse(text, "test.txt", error)) << error;
    return script;
}

std::string ErrorOf(const std::string& text)
{
    XInputScript script;
    std::string error;
    EXPECT_FALSE(script.Parse(text, "walk.txt", error)) << text;
    return error;
}

} // namespace

TEST(ScriptEvents, EveryEventFormIsRead)
{
    const XInputScript script = Parsed("# a walk\n"
                                       "1 key down UP\n"
                                       "2 mouse move 15 -4   # look right and up\n"
                                       "\n"
                                       "3 mouse down left\n"
                                       "3 mouse up right\n"
                                       "4 key up up\n"
                                       "4 key down f12 ; key down a\n"
                                       "9 close\n");
    const auto& events = script.Events();
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0].kind, XScriptEvent::Kind::KeyDown);
    EXPECT_EQ(events[0].key, VK_UP);
    EXPECT_EQ(events[1].kind, XScriptEvent::Kind::MouseMove);
    EXPECT_EQ(events[1].dx, 15);
    EXPECT_EQ(events[1].dy, -4);
    EXPECT_EQ(events[2].kind, XScriptEvent::Kind::MouseDown);
    EXPECT_EQ(events[2].button, 0);
    EXPECT_EQ(events[3].kind, XScriptEvent::Kind::MouseUp);
    EXPECT_EQ(events[3].button, 1);
    EXPECT_EQ(events[4].kind, XScriptEvent::Kind::KeyUp);
    EXPECT_EQ(events[5].key, VK_F12);
    EXPECT_EQ(events[6].key, 'A');
    EXPECT_EQ(events[7].kind, XScriptEvent::Kind::Close);
    EXPECT_EQ(events[7].frame, 9);
}

TEST(ScriptEvents, EventsAreGroupedByFrameInScriptOrder)
{
    const XInputScript script = Parsed("5 key down SPACE\n2 key down TAB\n5 key up SPACE\n");
    const std::vector<XScriptEvent> frame5 = script.EventsOfFrame(5);
    ASSERT_EQ(frame5.size(), 2u);
    EXPECT_EQ(frame5[0].kind, XScriptEvent::Kind::KeyDown);
    EXPECT_EQ(frame5[1].kind, XScriptEvent::Kind::KeyUp);
    EXPECT_EQ(script.EventsOfFrame(2).size(), 1u);
    EXPECT_TRUE(script.EventsOfFrame(3).empty());
}

TEST(ScriptEvents, FrameEventsAreTheScriptsOwnEventsOfThatFrame)
{
    const XInputScript script = Parsed("5 key down SPACE\n2 key down TAB\n5 key up SPACE\n7 close\n");
    const XScriptEventSpan frame5 = script.FrameEvents(5);
    ASSERT_EQ(frame5.size(), 2u);
    EXPECT_EQ(frame5.begin(), &script.Events()[1]) << "in place, after frame 2's event";
    EXPECT_EQ(frame5.begin()[0].kind, XScriptEvent::Kind::KeyDown);
    EXPECT_EQ(frame5.begin()[1].kind, XScriptEvent::Kind::KeyUp);
    EXPECT_EQ(script.FrameEvents(7).size(), 1u) << "the last frame";
    EXPECT_TRUE(script.FrameEvents(3).empty());
    EXPECT_TRUE(script.FrameEvents(8).empty());
    EXPECT_TRUE(XInputScript().FrameEvents(1).empty());
}

TEST(ScriptEvents, DescriptionsReadBackAsTheSameEvents)
{
    const XInputScript script =
        Parsed("1 key down CONTROL\n1 mouse move -3 7\n1 mouse up middle\n1 wait level 12\n1 close\n");
    std::string text;
    for (const XScriptEvent& event : script.Events()) {
        text += "4 " + DescribeScriptEvent(event) + "\n";
    }
    const XInputScript again = Parsed(text);
    ASSERT_EQ(again.Events().size(), script.Events().size());
    for (size_t i = 0; i < again.Events().size(); ++i) {
        EXPECT_EQ(again.Events()[i].kind, script.Events()[i].kind);
        EXPECT_EQ(again.Events()[i].key, script.Events()[i].key);
        EXPECT_EQ(again.Events()[i].button, script.Events()[i].button);
        EXPECT_EQ(again.Events()[i].dx, script.Events()[i].dx);
        EXPECT_EQ(again.Events()[i].dy, script.Events()[i].dy);
        EXPECT_EQ(again.Events()[i].save, script.Events()[i].save);
    }
    EXPECT_EQ(script.Events()[3].kind, XScriptEvent::Kind::WaitLevel);
    EXPECT_EQ(script.Events()[3].save, 12);
}

TEST(ScriptErrors, MalformedLinesAreNamedWithTheirLineNumber)
{
    EXPECT_EQ(ErrorOf("1 key down UP\n2 key sideways UP\n"), "walk.txt:2: expected 'key down KEY' or 'key up KEY'");
    EXPECT_EQ(ErrorOf("1 key down JUMP\n"), "walk.txt:1: unknown key 'JUMP'");
    EXPECT_EQ(ErrorOf("\n\n0 close\n"),
              "walk.txt:3: expected a frame number (1 or more) at the start of the line, got '0'");
    EXPECT_EQ(ErrorOf("x close\n"), "walk.txt:1: expected a frame number (1 or more) at the start of the line, got 'x'");
    EXPECT_EQ(ErrorOf("3\n"), "walk.txt:1: missing event");
    EXPECT_EQ(ErrorOf("3 mouse move 1\n"), "walk.txt:1: expected 'mouse move DX DY' with whole numbers");
    EXPECT_EQ(ErrorOf("3 mouse move 1 2.5\n"), "walk.txt:1: expected 'mouse move DX DY' with whole numbers");
    EXPECT_EQ(ErrorOf("3 mouse down thumb\n"), "walk.txt:1: unknown mouse button 'thumb' (left, right or middle)");
    EXPECT_EQ(ErrorOf("3 close now\n"), "walk.txt:1: 'close' takes no arguments");
    EXPECT_EQ(ErrorOf("3 jump\n"), "walk.txt:1: unknown event 'jump'");
    EXPECT_EQ(ErrorOf("3 close ;\n"), "walk.txt:1: missing event");
    EXPECT_EQ(ErrorOf("3 wait level 0\n"), "walk.txt:1: expected 'wait level N' with a save number of 1 or more");
    EXPECT_EQ(ErrorOf("3 wait 2\n"), "walk.txt:1: expected 'wait level N' with a save number of 1 or more");
}

TEST(ScriptErrors, MissingFileIsNamed)
{
    XInputScript script;
    std::string error;
    EXPECT_FALSE(script.Load("/nonexistent/walk.txt", error));
    EXPECT_NE(error.find("/nonexistent/walk.txt"), std::string::npos) << error;
}

TEST(ScriptErrors, FolderIsRefusedAndNamed)
{
    const ScratchDirectory folder("korvath-script-folder");
    ASSERT_FALSE(folder.Path().empty());
    XInputScript script;
    std::string error;
    EXPECT_FALSE(script.Load(folder.Path().string(), error));
    EXPECT_EQ(error, folder.Path().string() + ": cannot open script: it is a folder, not a file");
}
