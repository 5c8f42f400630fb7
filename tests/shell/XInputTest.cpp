// Input: listener calls from window messages, key and button state, mouse capture and cursor position.
#include "shell/XInput.h"
#include "shell/XWindow.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// Records every call it receives, in order.
class RecordingListener : public XInputListener {
public:
    void OnMouseDown(XPoint point, int32_t button) override
    {
        calls.push_back("down " + std::to_string(button) + " at " + std::to_string(point.x) + "," +
                        std::to_string(point.y));
    }
    void OnMouseUp(XPoint, int32_t button) override { calls.push_back("up " + std::to_string(button)); }
    void OnMouseMove(float dx, float dy) override
    {
        calls.push_back("move " + std::to_string(static_cast<int>(dx)) + "," + std::to_string(static_cast<int>(dy)));
    }
    void OnKeyDown(int key) override { calls.push_back("keydown " + std::to_string(key)); }
    void OnKeyUp(int key) override { calls.push_back("keyup " + std::to_string(key)); }

    std::vector<std::string> calls;
};

// Sends the key-up of every key from within its key-down, as a handler that sends input of its own would.
class EchoingListener : public RecordingListener {
public:
    void OnKeyDown(int key) override
    {
        RecordingListener::OnKeyDown(key);
        WindowProc(WM_KEYUP, static_cast<WPARAM>(key), 0);
    }
};

// Makes a further listener from within its first key-down.
class SpawningListener : public RecordingListener {
public:
    void OnKeyDown(int key) override
    {
        RecordingListener::OnKeyDown(key);
        if (spawned == nullptr) {
            spawned = std::make_unique<RecordingListener>();
        }
    }

    std::unique_ptr<RecordingListener> spawned;
};

XPoint Centre()
{
    return GetWindow()->GetCapturePoint();
}

} // namespace

TEST(InputListeners, KeyMessagesReachEveryListenerInRegistrationOrder)
{
    RecordingListener first;
    RecordingListener second;
    WindowProc(WM_KEYDOWN, VK_F4, 0);
    WindowProc(WM_KEYDOWN, VK_F4, kKeyRepeatBit); // auto-repeat
    WindowProc(WM_CHAR, 'a', 0);
    WindowProc(WM_KEYUP, VK_F4, 0);
    const std::vector<std::string> expected = {"keydown 115", "keydown 115", "keyup 115"};
    EXPECT_EQ(first.calls, expected);
    EXPECT_EQ(second.calls, expected);
}

TEST(InputListeners, DestroyedListenerIsNoLongerCalled)
{
    RecordingListener kept;
    {
        RecordingListener gone;
        WindowProc(WM_KEYDOWN, 'W', 0);
        EXPECT_EQ(gone.calls.size(), 1u);
    }
    WindowProc(WM_KEYUP, 'W', 0);
    EXPECT_EQ(kept.calls.size(), 2u);
}

TEST(InputListeners, AMessageSentFromWithinAListenerReachesEveryListenerBeforeTheFirstGoesOn)
{
    EchoingListener echoing;
    RecordingListener after;
    WindowProc(WM_KEYDOWN, VK_F5, 0);
    EXPECT_EQ(echoing.calls, (std::vector<std::string>{"keydown 116", "keyup 116"}));
    EXPECT_EQ(after.calls, (std::vector<std::string>{"keyup 116", "keydown 116"}));
}

TEST(InputListeners, AListenerMadeDuringAMessageHearsOnlyTheMessagesAfterIt)
{
    SpawningListener spawning;
    RecordingListener after;
    WindowProc(WM_KEYDOWN, VK_F6, 0);
    ASSERT_NE(spawning.spawned, nullptr);
    EXPECT_TRUE(spawning.spawned->calls.empty());
    EXPECT_EQ(after.calls.size(), 1u);
    WindowProc(WM_KEYUP, VK_F6, 0);
    EXPECT_EQ(spawning.spawned->calls, (std::vector<std::string>{"keyup 117"}));
}

TEST(InputButtons, ButtonsAreHeldBetweenDownAndUp)
{
    RecordingListener listener;
    EXPECT_FALSE(GetInput()->GetButton(1));
    WindowProc(WM_RBUTTONDOWN, 0, MakePointParam(12, 34));
    EXPECT_TRUE(GetInput()->GetButton(1));
    EXPECT_FALSE(GetInput()->GetButton(0));
    WindowProc(WM_LBUTTONDOWN, 0, MakePointParam(5, 6));
    WindowProc(WM_MBUTTONDOWN, 0, MakePointParam(5, 6));
    EXPECT_TRUE(GetInput()->GetButton(0));
    EXPECT_TRUE(GetInput()->GetButton(2));
    EXPECT_FALSE(GetInput()->GetButton(3));
    EXPECT_FALSE(GetInput()->GetButton(-1));
    WindowProc(WM_RBUTTONUP, 0, MakePointParam(12, 34));
    WindowProc(WM_LBUTTONUP, 0, MakePointParam(12, 34));
    WindowProc(WM_MBUTTONUP, 0, MakePointParam(12, 34));
    EXPECT_FALSE(GetInput()->GetButton(0));
    EXPECT_FALSE(GetInput()->GetButton(1));
    EXPECT_FALSE(GetInput()->GetButton(2));
    ASSERT_GE(listener.calls.size(), 2u);
    EXPECT_EQ(listener.calls[0], "down 1 at 12,34");
    EXPECT_EQ(listener.calls[1], "down 0 at 5,6");
}

TEST(InputKeys, HeldKeyIsDownUntilReleased)
{
    XInput* const input = GetInput();
    EXPECT_FALSE(input->IsKeyDown(VK_UP));
    WindowProc(WM_KEYDOWN, VK_UP, 0);
    EXPECT_TRUE(input->IsKeyDown(VK_UP));
    EXPECT_TRUE(input->IsKeyDown(VK_UP));
    EXPECT_EQ(input->GetKeyboardState()[VK_UP], 0x80);
    WindowProc(WM_KEYUP, VK_UP, 0);
    EXPECT_FALSE(input->IsKeyDown(VK_UP));
    EXPECT_EQ(input->GetKeyboardState()[VK_UP], 0);
}

TEST(InputKeys, PressReleasedBeforeTheQueryCountsOnce)
{
    XInput* const input = GetInput();
    WindowProc(WM_KEYDOWN, 'R', 0);
    WindowProc(WM_KEYUP, 'R', 0);
    EXPECT_TRUE(input->IsKeyDown('R')) << "a tap between two polls is not lost";
    EXPECT_FALSE(input->IsKeyDown('R'));
}

TEST(InputKeys, HeldStateIsOnlyWhatIsHeldNow)
{
    XInput* const input = GetInput();
    WindowProc(WM_KEYDOWN, VK_CONTROL, 0);
    EXPECT_TRUE(input->IsKeyHeld(VK_CONTROL));
    WindowProc(WM_KEYUP, VK_CONTROL, 0);
    EXPECT_FALSE(input->IsKeyHeld(VK_CONTROL)) << "a released key, even one no poll has seen";
    EXPECT_TRUE(input->IsKeyDown(VK_CONTROL)) << "the poll still gets its tap";
}

TEST(InputMouse, CapturedMotionIsTheOffsetFromTheCapturePointWhichTheCursorReturnsTo)
{
    RecordingListener listener;
    XInput* const input = GetInput();
    input->SetMouseCapture(true);
    const XPoint centre = Centre();
    GetWindow()->SetCursorPosition({centre.x + 18, centre.y - 4});
    WindowProc(WM_MOUSEMOVE, 0, MakePointParam(centre.x + 18, centre.y - 4));
    EXPECT_EQ(GetWindow()->GetCursorPosition().x, centre.x);
    EXPECT_EQ(GetWindow()->GetCursorPosition().y, centre.y);
    WindowProc(WM_MOUSEMOVE, 0, MakePointParam(centre.x, centre.y));
    const std::vector<std::string> expected = {"move 18,-4", "move 0,0"};
    EXPECT_EQ(listener.calls, expected);
}

TEST(InputMouse, UncapturedMotionGrowsWithTheDistanceFromTheCapturePoint)
{
    RecordingListener listener;
    XInput* const input = GetInput();
    input->SetMouseCapture(false);
    const XPoint centre = Centre();
    GetWindow()->SetCursorPosition({centre.x + 10, centre.y + 10});
    WindowProc(WM_MOUSEMOVE, 0, 0);
    GetWindow()->SetCursorPosition({centre.x + 30, centre.y + 20});
    WindowProc(WM_MOUSEMOVE, 0, 0);
    const std::vector<std::string> expected = {"move 10,10", "move 30,20"};
    EXPECT_EQ(listener.calls, expected);
    EXPECT_EQ(GetWindow()->GetCursorPosition().x, centre.x + 30) << "no warp while capture is off";
    input->SetMouseCapture(true);
    EXPECT_EQ(GetWindow()->GetCursorPosition().x, centre.x) << "capture puts the cursor on the capture point";
}

TEST(InputMouse, MousePositionIsRelativeToTheWindowCentreWithYUp)
{
    XInput* const input = GetInput();
    const XPoint size = GetWindow()->GetSize();
    GetWindow()->SetCursorPosition({0, 0});
    XPoint position = input->GetMousePosition();
    EXPECT_EQ(position.x, -size.x / 2);
    EXPECT_EQ(position.y, size.y / 2);
    GetWindow()->SetCursorPosition({size.x / 2 + 25, size.y / 2 + 40});
    position = input->GetMousePosition();
    EXPECT_EQ(position.x, 25);
    EXPECT_EQ(position.y, -40);
    GetWindow()->SetCursorPosition(Centre());
}
