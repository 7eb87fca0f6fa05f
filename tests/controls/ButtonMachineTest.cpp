#include "controls/ButtonMachine.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace tessaly;

namespace {

using Log = std::vector<std::string>;

// Plays the window's part: the pointer is where the test says, and every call
// the machine makes on it lands in one log with the host's events.
class ButtonMachineTest : public ::testing::Test, protected ButtonPlatform {
protected:
    ButtonMachineTest() {
        events.Click.Connect([this] { log.push_back("Click"); });
        events.MouseDown.Connect([this](int& b, int&, float&, float&) {
            log.push_back("MouseDown" + std::to_string(b));
        });
        events.MouseUp.Connect(
            [this](int& b, int&, float&, float&) { log.push_back("MouseUp" + std::to_string(b)); });
        events.MouseMove.Connect(
            [this](int&, int&, float&, float&) { log.push_back("MouseMove"); });
        events.KeyDown.Connect([this](int& key, int&) {
            log.push_back("KeyDown" + std::to_string(key));
            if (zeroKeyCode) key = 0;
        });
        events.KeyUP.Connect([this](int& key, int&) {
            log.push_back("KeyUP" + std::to_string(key));
            if (zeroKeyCode) key = 0;
        });
        events.KeyPress.Connect(
            [this](int& ascii) { log.push_back("KeyPress" + std::to_string(ascii)); });
        events.MouseOut.Connect([this] { log.push_back("MouseOut"); });
        events.MouseOver.Connect([this] { log.push_back("MouseOver"); });
        events.DBClick.Connect([this] { log.push_back("DBClick"); });
        machine.Created();
        // The first poll tick finds the pointer elsewhere: the button settles.
        Tick();
        Take();
    }

    bool IsMouseOver() override { return over; }
    void ShowPointer(ButtonCursor c) override { cursor = c; }
    void EnableTimer(bool enabled) override {
        timer = enabled;
        log.push_back(enabled ? "timer on" : "timer off");
    }
    void PaintButton(int state) override { log.push_back("paint" + std::to_string(state)); }
    void DrawFocus() override { log.push_back("focus"); }
    void BuildFrames() override { log.push_back("frames"); }
    void ReportPropertyChanged(std::wstring_view name) override {
        log.push_back("changed " + std::string(name.begin(), name.end()));
    }

    void Move() {
        int button = 0, shift = 0;
        float x = 30, y = 30;
        machine.MouseMoved(button, shift, x, y);
    }
    void Press(int button = 1) {
        int shift = 0;
        float x = 30, y = 30;
        machine.MousePressed(button, shift, x, y);
    }
    void Release(int button = 1) {
        int shift = 0;
        float x = 30, y = 30;
        machine.MouseReleased(button, shift, x, y);
    }
    void KeyDown(int key) {
        int shift = 0;
        machine.KeyWentDown(key, shift);
    }
    void KeyUp(int key) {
        int shift = 0;
        machine.KeyWentUp(key, shift);
    }
    // The platform ticks only while the timer is on.
    void Tick() {
        if (timer) machine.TimerTick();
    }
    // A left click over the button as the platform delivers it.
    void LeftClick() {
        Press();
        Release();
        machine.Clicked();
    }
    Log Take() { return std::exchange(log, {}); }

    iButtonEvents events;
    ButtonMachine machine{*this, events};
    Log log;
    bool over = false;
    bool timer = false;
    bool zeroKeyCode = false;
    ButtonCursor cursor = ButtonCursor::Arrow;
};

} // namespace

TEST_F(ButtonMachineTest, SettlesAtCreationWithOneMouseOutAndTheTimerOff) {
    ButtonMachine fresh{*this, events};
    fresh.Created();
    fresh.TimerTick();
    EXPECT_EQ(Take(), (Log{"timer on", "frames", "timer off", "MouseOut"}));
    EXPECT_FALSE(timer);
    fresh.Shown();
    fresh.Shown();
    EXPECT_EQ(Take(), (Log{"frames"})); // only the first showing cuts again
}

TEST_F(ButtonMachineTest, LeftClickRaisesItsEventsInOrderAndPaintsOnlyChanges) {
    over = true;
    Move();
    EXPECT_EQ(cursor, ButtonCursor::Hand);
    Move(); // moves inside the button paint nothing
    Press();
    EXPECT_EQ(cursor, ButtonCursor::Arrow);
    Tick(); // pressed and over: the pressed look already shows
    Release();
    machine.Clicked();
    EXPECT_EQ(Take(), (Log{"MouseMove", "paint1", "timer on", "MouseOver", "MouseMove",
                           "MouseDown1", "paint2", "MouseUp1", "paint1", "paint1", "Click"}));
    Tick();
    EXPECT_EQ(Take(), Log{});
    over = false;
    Tick();
    Tick();
    EXPECT_EQ(Take(), (Log{"timer off", "MouseOut", "paint0"}));
}

TEST_F(ButtonMachineTest, RightClickHasNoPressedLookAndNoClickButKeysStillClick) {
    over = true;
    Move();
    Take();
    Press(2);
    Release(2);
    machine.Clicked();
    EXPECT_EQ(Take(), (Log{"MouseDown2", "MouseUp2"}));
    KeyDown(kKeyEnter);
    EXPECT_EQ(Take(), (Log{"KeyDown13", "paint1", "Click"})); // hovering: no focus rectangle
}

TEST_F(ButtonMachineTest, DoubleClickOnAToggleInvertsValueTwiceWithOneClickAndOneDBClick) {
    machine.Restore(1, true, true);
    over = true;
    Move();
    Take();
    LeftClick();
    EXPECT_TRUE(machine.Value());
    machine.DoubleClicked(); // the second press
    Release();               // its release gives MouseUp only
    EXPECT_FALSE(machine.Value());
    EXPECT_EQ(Take(), (Log{"MouseDown1", "paint2", "MouseUp1", "paint1", "paint1", "Click",
                           "paint2", "DBClick", "MouseUp1", "paint1"}));
    // A right double click: no pressed look, still a DBClick.
    Press(2);
    Release(2);
    machine.DoubleClicked();
    EXPECT_EQ(Take(), (Log{"MouseDown2", "MouseUp2", "DBClick"}));
}

TEST_F(ButtonMachineTest, AReleaseWithoutAPressOnTheButtonTogglesNothing) {
    machine.Restore(1, true, true);
    over = true;
    Move();
    Take();
    Release(); // the click that closed a menu over the button
    EXPECT_FALSE(machine.Value());
    EXPECT_EQ(Take(), (Log{"MouseUp1", "paint1"}));
    LeftClick();
    EXPECT_TRUE(machine.Value());
}

TEST_F(ButtonMachineTest, EnterClicksOnEveryKeyDownAndSpaceOnItsRelease) {
    machine.Restore(1, true, true);
    KeyDown(kKeyEnter);
    EXPECT_TRUE(machine.Value()); // inverted before the Click
    KeyDown(kKeyEnter);           // a held key repeats
    EXPECT_FALSE(machine.Value());
    EXPECT_EQ(Take(), (Log{"KeyDown13", "paint0", "focus", "Click", "KeyDown13", "paint0", "focus",
                           "Click"}));
    KeyDown(kKeySpace);
    EXPECT_FALSE(machine.Value());
    KeyUp(kKeySpace);
    EXPECT_TRUE(machine.Value());
    int ascii = ' ';
    machine.CharacterTyped(ascii);
    EXPECT_EQ(Take(), (Log{"KeyDown32", "paint2", "focus", "KeyUP32", "paint0", "focus", "Click",
                           "KeyPress32"}));
    KeyUp(kKeyEnter);
    EXPECT_EQ(Take(), (Log{"KeyUP13"}));
}

TEST_F(ButtonMachineTest, AHostThatZeroesKeyCodeSuppressesEnterAndSpace) {
    zeroKeyCode = true;
    machine.Restore(1, true, true);
    KeyDown(kKeyEnter);
    KeyDown(kKeySpace);
    KeyUp(kKeySpace);
    EXPECT_EQ(Take(), (Log{"KeyDown13", "KeyDown32", "KeyUP32"}));
    EXPECT_FALSE(machine.Value());
}

TEST_F(ButtonMachineTest, APressThatLeavesAndComesBackFollowsThePointerUntilReleased) {
    over = true;
    Move();
    Press();
    Take();
    over = false;
    Tick();
    Tick();
    EXPECT_EQ(Take(), (Log{"paint0"})); // normal, but no MouseOut while pressed
    EXPECT_TRUE(timer);
    over = true;
    Tick();
    over = false;
    Tick();
    EXPECT_EQ(Take(), (Log{"paint2", "paint0"}));
    Release(); // outside: the platform gives no click notification
    Tick();
    EXPECT_EQ(Take(), (Log{"MouseUp1", "paint0", "timer off", "MouseOut"}));
    EXPECT_FALSE(machine.Pressed());
}

TEST_F(ButtonMachineTest, LockedRepaintsButClicksValuesAndEventsGoOn) {
    machine.Restore(1, true, true);
    machine.SetLocked(true);
    EXPECT_EQ(Take(), (Log{"paint0"}));
    over = true;
    Move();
    LeftClick();
    EXPECT_TRUE(machine.Value());
    EXPECT_EQ(Take(), (Log{"MouseMove", "paint1", "timer on", "MouseOver", "MouseDown1", "paint2",
                           "MouseUp1", "paint1", "paint1", "Click"}));
    machine.SetLocked(false);
    EXPECT_EQ(Take(), (Log{"paint1"}));
}

TEST_F(ButtonMachineTest, PropertySettersRepaintCutAndReportAsTheirKindNeeds) {
    machine.SetValue(true); // a push button has no on position
    EXPECT_FALSE(machine.Value());
    EXPECT_EQ(Take(), Log{});
    machine.SetStyle(1);
    machine.SetValue(true);
    EXPECT_TRUE(machine.Value());
    machine.SetAutoSize(false);
    machine.SetAutoSize(true);
    EXPECT_EQ(Take(), (Log{"frames", "changed Style", "paint0", "changed AutoSize", "frames",
                           "changed AutoSize"}));
    machine.Redraw(); // paints without becoming the shown state
    over = true;
    machine.Redraw();
    EXPECT_EQ(machine.ShownState(), kStateNormal);
    EXPECT_EQ(Take(), (Log{"paint0", "paint1"}));
}

TEST_F(ButtonMachineTest, ADisabledButtonKeepsItsLookUntilEnabledAgain) {
    // Designed disabled: the first poll tick comes after the first painting.
    ButtonMachine fresh{*this, events};
    fresh.Restore(0, false, true);
    fresh.Created();
    fresh.Refresh();
    fresh.TimerTick();
    EXPECT_EQ(Take(), (Log{"timer on", "frames", "paint3", "timer off", "MouseOut"}));
    EXPECT_EQ(fresh.ShownState(), kStateDisabled);

    machine.SetEnabled(false);
    EXPECT_EQ(Take(), (Log{"paint3", "changed Enabled"}));
    over = true;
    machine.SetEnabled(true);
    EXPECT_EQ(Take(), (Log{"paint1", "changed Enabled"}));
}

TEST_F(ButtonMachineTest, FocusRepaintsAndShowsTheRectangleUnlessPressed) {
    machine.FocusChanged(true);
    machine.FocusChanged(false);
    EXPECT_EQ(Take(), (Log{"paint0", "focus", "paint0"}));
    over = true;
    Move();
    Press();
    Take();
    machine.FocusChanged(true);
    EXPECT_EQ(Take(), (Log{"paint2"}));
    // Keys on a hovered button draw no rectangle either.
    Release();
    Take();
    KeyDown(kKeySpace);
    EXPECT_EQ(Take(), (Log{"KeyDown32", "paint2"}));
}

// A host may answer any event by closing the window that holds the button;
// nothing of the button may be touched afterwards (the sanitizers of the
// native build see any access).
TEST(ButtonMachineClosing, AnyEventHandlerMayDestroyTheButton) {
    struct Button : ButtonPlatform, iButtonEvents {
        bool IsMouseOver() override { return over; }
        void ShowPointer(ButtonCursor) override {}
        void EnableTimer(bool) override {}
        void PaintButton(int) override { ++paints; }
        void DrawFocus() override {}
        void BuildFrames() override {}
        void ReportPropertyChanged(std::wstring_view) override {}
        ButtonMachine machine{*this, *this};
        bool over = true;
        int paints = 0;
    };
    for (const std::string closer :
         {"MouseMove", "MouseDown", "MouseUp", "Click", "KeyDown", "KeyUP", "MouseOut"}) {
        auto button = std::make_unique<Button>();
        const auto close = [&](const std::string& name) {
            if (name == closer) button.reset();
        };
        const auto mouse = [&](const char* name) {
            return [&, name](int&, int&, float&, float&) { close(name); };
        };
        button->MouseMove.Connect(mouse("MouseMove"));
        button->MouseDown.Connect(mouse("MouseDown"));
        button->MouseUp.Connect(mouse("MouseUp"));
        button->Click.Connect([&] { close("Click"); });
        button->KeyDown.Connect([&](int&, int&) { close("KeyDown"); });
        button->KeyUP.Connect([&](int&, int&) { close("KeyUP"); });
        button->MouseOut.Connect([&] { close("MouseOut"); });
        int left = 1, shift = 0, enter = kKeyEnter, space = kKeySpace;
        float x = 30, y = 30;
        const std::vector<std::function<void(ButtonMachine&)>> steps = {
            [&](ButtonMachine& m) { m.MouseMoved(left, shift, x, y); },
            [&](ButtonMachine& m) { m.MousePressed(left, shift, x, y); },
            [&](ButtonMachine& m) { m.MouseReleased(left, shift, x, y); },
            [&](ButtonMachine& m) { m.Clicked(); },
            [&](ButtonMachine& m) { m.KeyWentDown(enter, shift); },
            [&](ButtonMachine& m) { m.KeyWentUp(space, shift); },
            [&](ButtonMachine& m) {
                button->over = false; // the pointer has left: the poll raises MouseOut
                m.TimerTick();
            },
        };
        for (const auto& step : steps) {
            if (!button) break;
            step(button->machine);
        }
        EXPECT_FALSE(button) << closer;
    }
}
