#pragma once
// The script a scripted browser plays instead of loading pages: for the tests
// and for the demo tour where no engine renders. One step a line; a section
// starts with "on <text>" and is played when the client navigates to an
// address containing that text:
//
//   on /client/
//     wait 1500               milliseconds
//     downloadbegin
//     complete 2400           the page completes; its document holds 2400 characters
//     title Ridge of Embers
//     navigate app://loadgame|{origin}/game/1.html    the page itself navigates
//     framenavigate {origin}/ad.html    one of its frames navigates
//     newwindow {origin}/game/2.html    it asks for a window (window.open)
//     error                   the navigation failed
//
// "{origin}" stands for the scheme, host and port of the address that started
// the section. Blank lines and lines starting with '#' are ignored.

#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The longest wait a step may ask for: what a window timer can hold (24 days).
inline constexpr long long kMaxWaitMilliseconds = 0x7FFFFFFF;

struct ScriptStep {
    enum class Kind {
        Wait,
        DownloadBegin,
        Complete,
        Title,
        Navigate,
        FrameNavigate,
        NewWindow,
        Error
    };
    Kind kind = Kind::Wait;
    long long number = 0; // milliseconds for Wait, characters for Complete
    std::wstring text;    // the title, or the address of the last three kinds
};

struct ScriptSection {
    std::wstring pattern;
    std::vector<ScriptStep> steps;
};

struct BrowserScript {
    std::vector<ScriptSection> sections;

    // Raises the invalid-argument error, naming the line, on a line it cannot read.
    static BrowserScript Parse(std::wstring_view text);
    // The first section whose pattern the address contains, or null.
    const ScriptSection* SectionFor(std::wstring_view url) const;
};

// "http://127.0.0.1:8080/client/" -> "http://127.0.0.1:8080"
std::wstring OriginOf(std::wstring_view url);

} // namespace tessaly
