#pragma once
// Waiting for the very process of the client that started the updater, by
// the id it passed: a path never names it surely (short names, subst drives
// and junctions spell one file many ways).

#include <string>

namespace tessaly::win {

// Waits at most timeoutMs for process `pid` to end; true when it has ended,
// was never there, or is some other program that now has the id (its image
// is not the file `clientExe`); false when it runs on, or may but cannot be
// waited for. An image that cannot be compared counts as
// the client's: waiting for the wrong process costs a little time, not
// waiting for the client would replace files it still runs from.
bool WaitForClientProcess(unsigned long pid, const std::wstring& clientExe,
                          unsigned long timeoutMs);

} // namespace tessaly::win
