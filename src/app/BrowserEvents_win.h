#pragma once
// DWebBrowserEvents2 as the windows hear them: the arguments of the control's
// Invoke, which arrive in reverse order of each event's declaration, raised
// as the events of Browser. Whatever the handlers say, every navigation to an
// "app://" address is cancelled (no engine loads it: an error page at best,
// the shell asking for a program at worst), and so is every window the page
// asks for.

#include <windows.h>
#include <oaidl.h>

#include "app/Browser.h"

namespace tessaly::win {

// control: the control itself, which tells its own navigations from its
// frames' (a frame's events carry the frame's browser object).
void RaiseBrowserEvent(Browser& browser, IUnknown* control, DISPID id, DISPPARAMS& params);

} // namespace tessaly::win
