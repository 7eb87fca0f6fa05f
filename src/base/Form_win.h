#pragma once
// The life every top-level window of the program shares: load (created
// hidden, or prepared hidden ahead), show (centred the first time if
// designed so), resize, query-unload with a cancel flag, unload, and modal
// showing that disables the owner. When the last loaded form unloads, the
// message loop ends and so does the process. Both loops here offer every
// message to PreTranslate first (MessageFilter_win.h), so embedded browsers
// get their keys in either.

#include "base/Window_win.h"

#include <string>

namespace tessaly::win {

struct FormDesign {
    const wchar_t* className = L"";
    std::wstring caption;
    int clientWidthTwips = 0;
    int clientHeightTwips = 0;
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    COLORREF background = RGB(255, 255, 255);
    bool centred = true;
};

class Form : public Window {
public:
    ~Form() override;

    // Makes the window, hidden, without loading the form: the first part of
    // Load, done ahead where the start-up has time to spare.
    void Prepare();
    void Load();
    bool IsLoaded() const { return IsCreated() && !preparedOnly_; }
    void Show();
    void Hide();
    // Centres the window on the screen without showing it.
    void Centre();
    bool IsVisible() const;
    // Asks the form to close as the user would: query-unload may cancel it.
    // Returns true when the form has unloaded.
    bool Close();
    // Shows the form and returns when it has unloaded; the owner takes no
    // input meanwhile. A handler inside may destroy the form's object too.
    void ShowModal(HWND owner);
    void SetCaption(const std::wstring& caption);

    // Runs the message loop until the last form unloads; returns the exit code.
    static int RunMessageLoop();
    static int LoadedFormCount();

protected:
    explicit Form(FormDesign design);

    virtual void OnLoad() {}
    virtual void OnShow() {}
    virtual void OnResize() {}
    virtual void OnQueryUnload(bool& /*cancel*/) {}
    virtual void OnUnload() {}
    virtual void OnTimer(UINT_PTR /*id*/) {}

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;
    const FormDesign& design() const { return design_; }

private:
    FormDesign design_;
    bool shownOnce_ = false;
    bool unloading_ = false;
    bool querying_ = false;
    bool counted_ = false;
    bool preparedOnly_ = false; // made by Prepare, not yet loaded
    HWND modalOwner_ = nullptr; // disabled while this form is shown modally
};

} // namespace tessaly::win
