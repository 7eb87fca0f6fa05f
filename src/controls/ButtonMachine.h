#pragma once
// The image button's behaviour without a window: its visual state, the
// pointer's hover and leave poll, mouse buttons, keys and focus, and the
// properties whose setters repaint or cut frames again. The window half
// (iButton_win) feeds it the platform's notifications and lends it a pointer
// test, the leave-poll timer and the painter, so the event sequences a host
// sees can be played and checked without a display.

#include "base/Event.h"
#include "controls/ButtonGeometry.h"

#include <string_view>

namespace tessaly {

inline constexpr int kLeftButton = 1;
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeySpace = 32;

enum class ButtonCursor { Hand, Arrow };

// What the machine needs from the window it drives.
class ButtonPlatform {
public:
    // The window under the pointer is the button's own (a covering window is not).
    virtual bool IsMouseOver() = 0;
    virtual void ShowPointer(ButtonCursor cursor) = 0;
    // Timer1, the 50 ms leave poll.
    virtual void EnableTimer(bool enabled) = 0;
    virtual void PaintButton(int state) = 0;
    virtual void DrawFocus() = 0;
    // Cuts the skin into frames again, resizes when auto-sized, then refreshes.
    virtual void BuildFrames() = 0;
    virtual void ReportPropertyChanged(std::wstring_view name) = 0;

protected:
    ~ButtonPlatform() = default;
};

// The button's events in their declared order. Arguments are references: the
// machine reads Button and KeyCode only after the handlers have returned.
struct iButtonEvents {
    Event<> Click;
    Event<int& /*Button*/, int& /*Shift*/, float& /*X*/, float& /*Y*/> MouseDown;
    Event<int& /*KeyCode*/, int& /*Shift*/> KeyDown;
    Event<int& /*KeyCode*/, int& /*Shift*/> KeyUP;
    Event<int& /*KeyAscii*/> KeyPress;
    Event<int& /*Button*/, int& /*Shift*/, float& /*X*/, float& /*Y*/> MouseUp;
    Event<int& /*Button*/, int& /*Shift*/, float& /*X*/, float& /*Y*/> MouseMove;
    Event<> MouseOut;
    Event<> MouseOver;
    Event<> DBClick;
};

class ButtonMachine {
public:
    ButtonMachine(ButtonPlatform& platform, iButtonEvents& events)
        : platform_(platform)
        , events_(events) {}
    ButtonMachine(const ButtonMachine&) = delete;
    ButtonMachine& operator=(const ButtonMachine&) = delete;

    int Style() const { return style_; }
    void SetStyle(int style);
    bool Value() const { return value_; }
    void SetValue(bool value);
    bool Locked() const { return locked_; }
    void SetLocked(bool locked);
    bool Enabled() const { return enabled_; }
    // The window's own enabling is the caller's; this repaints and tells the host.
    void SetEnabled(bool enabled);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // Values read from a stored design: kept as they are, nothing cut or painted.
    void Restore(int style, bool enabled, bool autoSize);

    // Paints `cAction` when it differs from what shows or a complete repaint
    // is asked for; every change of the look goes through here.
    void cMouseAction(int cAction, bool vComplePaint);
    int CurrentState();
    void Refresh() { cMouseAction(CurrentState(), true); }
    // Paints the state computed now without making it the shown state.
    void Redraw() { platform_.PaintButton(CurrentState()); }

    int ShownState() const { return shownState_; }
    bool Hovering() const { return hovering_; }
    bool Pressed() const { return pressed_; }

    // The platform's notifications.
    void Created();
    void Shown();
    void MouseMoved(int& button, int& shift, float& x, float& y);
    void MousePressed(int& button, int& shift, float& x, float& y);
    void MouseReleased(int& button, int& shift, float& x, float& y);
    void Clicked();
    void DoubleClicked();
    void KeyWentDown(int& keyCode, int& shift);
    void KeyWentUp(int& keyCode, int& shift);
    void CharacterTyped(int& keyAscii);
    void FocusChanged(bool gained);
    void TimerTick();

private:
    void Toggle() {
        if (style_ == 1) value_ = !value_;
    }
    // The look at rest: a disabled button keeps its disabled face.
    int RestingState() const { return enabled_ ? kStateNormal : kStateDisabled; }

    ButtonPlatform& platform_;
    iButtonEvents& events_;
    int style_ = 0;
    bool value_ = false;
    bool locked_ = false;
    bool enabled_ = true;
    bool autoSize_ = true;
    bool hovering_ = false;
    bool pressed_ = false;
    int lastButton_ = 0;
    int shownState_ = kStateNormal;
    bool shownOnce_ = false;
};

} // namespace tessaly
