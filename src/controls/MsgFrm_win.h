#pragma once
// The exit confirmation dialog: a small borderless, rounded, skinned window
// that asks whether the player really wants to quit, with Yes, No and a close
// button. Its caller shows it modally and reads the answer from its own exit
// flag once ShowModal has returned: True for Yes, False for No and for the
// close button. Closing it any other way leaves the flag as it was.
//
// Only keys pressed while it is open answer it: the repeats and the release
// of a key that was already down when it opened (Enter or Space held in the
// game) are dropped.

#include "base/Form_win.h"
#include "base/MessageFilter_win.h"
#include "controls/BForm_win.h"
#include "controls/Label_win.h"
#include "controls/Surface_win.h"
#include "controls/iButton_win.h"

#include <bitset>
#include <string>

namespace tessaly::win {

// What the dialog says; its host knows.
struct MsgFrmTexts {
    std::wstring caption;
    std::wstring question;
    std::wstring yes;
    std::wstring no;
};

class MsgFrm : public Form {
public:
    // `bExit` is the caller's flag (the main window's m_bExit); it must outlive
    // the dialog's showing.
    MsgFrm(bool& bExit, MsgFrmTexts texts);
    ~MsgFrm() override;

    BForm& BForm1() { return BForm1_; }
    iButton& closebtn() { return closebtn_; }
    Label& Label1() { return Label1_; }
    iButton& iButton1() { return iButton1_; }
    iButton& iButton2() { return iButton2_; }
    const Surface& surface() const { return surface_; }

protected:
    void OnLoad() override;
    void OnShow() override;
    void OnResize() override;
    void OnPaint(HDC dc) override { surface_.Paint(dc); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

private:
    void Answer(bool exit);
    void Layout();
    bool IgnoresKey(const MSG& msg);

    bool& m_bExit; // the caller's
    MsgFrmTexts texts_;
    Surface surface_;
    // Among siblings the first made lies on top: the close button over the
    // right end of the bar, the buttons over the label's rectangle.
    iButton closebtn_;
    BForm BForm1_;
    iButton iButton1_;
    iButton iButton2_;
    Label Label1_;
    MessageFilter heldKeys_;
    std::bitset<256> keysDown_; // went down while the dialog was open
};

} // namespace tessaly::win
