#include "controls/ButtonMachine.h"

namespace tessaly {

void ButtonMachine::SetStyle(int style) {
    style_ = style;
    platform_.BuildFrames();
    platform_.ReportPropertyChanged(L"Style");
}

void ButtonMachine::SetValue(bool value) {
    // Only a toggle button has an on position.
    if (style_ != 1) {
        value_ = false;
        return;
    }
    value_ = value;
    Refresh();
}

void ButtonMachine::SetLocked(bool locked) {
    locked_ = locked;
    Refresh();
}

void ButtonMachine::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Refresh();
    platform_.ReportPropertyChanged(L"Enabled");
}

void ButtonMachine::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize) platform_.BuildFrames(); // snaps the control to one frame
    platform_.ReportPropertyChanged(L"AutoSize");
}

void ButtonMachine::Restore(int style, bool enabled, bool autoSize) {
    style_ = style;
    enabled_ = enabled;
    autoSize_ = autoSize;
}

void ButtonMachine::cMouseAction(int cAction, bool vComplePaint) {
    // Pointer moves inside the button and idle poll ticks end here.
    if (cAction == shownState_ && !vComplePaint) return;
    shownState_ = cAction;
    platform_.PaintButton(cAction);
}

int ButtonMachine::CurrentState() {
    if (!enabled_) return kStateDisabled;
    const bool over = platform_.IsMouseOver();
    if (pressed_) return over ? kStatePressed : kStateNormal;
    return over ? kStateHover : kStateNormal;
}

void ButtonMachine::Created() {
    // The poll runs from the start, so a button created away from the pointer
    // settles (one MouseOut) and then costs nothing.
    platform_.EnableTimer(true);
    platform_.BuildFrames();
}

void ButtonMachine::Shown() {
    // Designs are read without cutting frames; the first showing cuts them.
    if (shownOnce_) return;
    platform_.BuildFrames();
    shownOnce_ = true;
}

// A host may answer any event by destroying the button (a Click that closes
// its window; a MouseUp or KeyUP that does): once an event says so, the
// machine, which goes with the button, touches nothing more.

void ButtonMachine::MouseMoved(int& button, int& shift, float& x, float& y) {
    if (!events_.MouseMove.Raise(button, shift, x, y)) return;
    if (!platform_.IsMouseOver()) return;
    platform_.ShowPointer(ButtonCursor::Hand);
    if (hovering_) return;
    cMouseAction(kStateHover, false);
    hovering_ = true;
    platform_.EnableTimer(true);
    events_.MouseOver.Raise();
}

void ButtonMachine::MousePressed(int& button, int& shift, float& x, float& y) {
    if (!events_.MouseDown.Raise(button, shift, x, y)) return;
    lastButton_ = button;
    if (button != kLeftButton) return;
    platform_.ShowPointer(ButtonCursor::Arrow);
    cMouseAction(kStatePressed, false);
    pressed_ = true;
}

void ButtonMachine::MouseReleased(int& button, int& shift, float& x, float& y) {
    if (!events_.MouseUp.Raise(button, shift, x, y)) return;
    if (button != kLeftButton) return;
    if (platform_.IsMouseOver()) {
        // A release with no press on the button (the click that closed a
        // menu over it) is no click of it: a toggle keeps its Value.
        if (pressed_) Toggle();
        cMouseAction(kStateHover, true);
    } else {
        cMouseAction(kStateNormal, true);
    }
    pressed_ = false;
}

void ButtonMachine::Clicked() {
    // A right or middle click completes too, but is no Click of the button.
    if (lastButton_ != kLeftButton) return;
    cMouseAction(CurrentState(), true);
    events_.Click.Raise();
}

void ButtonMachine::DoubleClicked() {
    // The second press of a double click arrives as this, not as a press.
    if (lastButton_ == kLeftButton) {
        cMouseAction(kStatePressed, false);
        pressed_ = true;
    }
    events_.DBClick.Raise();
}

void ButtonMachine::KeyWentDown(int& keyCode, int& shift) {
    if (!events_.KeyDown.Raise(keyCode, shift)) return;
    if (keyCode == kKeyEnter) {
        Toggle();
        cMouseAction(CurrentState(), true);
        if (!hovering_) platform_.DrawFocus();
        events_.Click.Raise();
    } else if (keyCode == kKeySpace) {
        cMouseAction(kStatePressed, true);
        if (!hovering_) platform_.DrawFocus();
    }
}

void ButtonMachine::KeyWentUp(int& keyCode, int& shift) {
    if (!events_.KeyUP.Raise(keyCode, shift)) return;
    if (keyCode != kKeySpace) return;
    Toggle();
    cMouseAction(CurrentState(), true);
    if (!hovering_) platform_.DrawFocus();
    events_.Click.Raise();
}

void ButtonMachine::CharacterTyped(int& keyAscii) {
    events_.KeyPress.Raise(keyAscii);
}

void ButtonMachine::FocusChanged(bool gained) {
    // The repaint clears an old focus rectangle; a press in progress shows none.
    cMouseAction(CurrentState(), true);
    if (gained && !pressed_) platform_.DrawFocus();
}

void ButtonMachine::TimerTick() {
    if (platform_.IsMouseOver()) {
        if (pressed_) cMouseAction(kStatePressed, false);
        return;
    }
    if (pressed_) {
        // Still pressed elsewhere: the poll goes on, and no MouseOut before the release.
        cMouseAction(RestingState(), false);
        return;
    }
    platform_.EnableTimer(false);
    hovering_ = false;
    if (!events_.MouseOut.Raise()) return;
    cMouseAction(RestingState(), false);
}

} // namespace tessaly
