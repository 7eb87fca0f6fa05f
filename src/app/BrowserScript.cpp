#include "app/BrowserScript.h"

#include "base/Error.h"
#include "base/Text.h"

#include <charconv>
#include <string>

namespace tessaly {
namespace {

std::wstring_view TrimBlanks(std::wstring_view text) {
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t' || text.back() == L'\r'))
        text.remove_suffix(1);
    return text;
}

bool ParseNumber(std::wstring_view text, long long& value) {
    const std::string narrow = WideToUtf8(text);
    const auto [end, ec] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    return !narrow.empty() && ec == std::errc() && end == narrow.data() + narrow.size() &&
           value >= 0;
}

} // namespace

BrowserScript BrowserScript::Parse(std::wstring_view text) {
    BrowserScript script;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto end = text.find(L'\n');
        const std::wstring_view line = TrimBlanks(text.substr(0, end));
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 1);
        if (line.empty() || line.front() == L'#') continue;

        const auto space = line.find_first_of(L" \t");
        const std::wstring word = AsciiLower(line.substr(0, space));
        const std::wstring_view rest =
            space == std::wstring_view::npos ? std::wstring_view() : TrimBlanks(line.substr(space));
        ScriptStep step;
        bool ok = true;
        if (word == L"on") {
            ok = !rest.empty();
            if (ok) script.sections.push_back({std::wstring(rest), {}});
            if (ok) continue;
        } else if (word == L"wait" || word == L"complete") {
            step.kind = word == L"wait" ? ScriptStep::Kind::Wait : ScriptStep::Kind::Complete;
            ok = ParseNumber(rest, step.number) &&
                 (step.kind != ScriptStep::Kind::Wait || step.number <= kMaxWaitMilliseconds);
        } else if (word == L"downloadbegin" || word == L"error") {
            step.kind =
                word == L"error" ? ScriptStep::Kind::Error : ScriptStep::Kind::DownloadBegin;
            ok = rest.empty();
        } else if (word == L"title") {
            step.kind = ScriptStep::Kind::Title;
            step.text = rest;
        } else if (word == L"navigate" || word == L"framenavigate" || word == L"newwindow") {
            step.kind = word == L"navigate"        ? ScriptStep::Kind::Navigate
                        : word == L"framenavigate" ? ScriptStep::Kind::FrameNavigate
                                                   : ScriptStep::Kind::NewWindow;
            step.text = rest;
            ok = !rest.empty();
        } else {
            ok = false;
        }
        if (!ok || script.sections.empty()) {
            throw Error(error::kInvalidArgument, "browser script, line " +
                                                     std::to_string(lineNumber) + ": " +
                                                     WideToUtf8(line));
        }
        script.sections.back().steps.push_back(std::move(step));
    }
    return script;
}

const ScriptSection* BrowserScript::SectionFor(std::wstring_view url) const {
    for (const auto& section : sections) {
        if (url.find(section.pattern) != std::wstring_view::npos) return &section;
    }
    return nullptr;
}

std::wstring OriginOf(std::wstring_view url) {
    const auto scheme = url.find(L"://");
    if (scheme == std::wstring_view::npos) return {};
    const auto path = url.find_first_of(L"/?#", scheme + 3);
    return std::wstring(url.substr(0, path));
}

} // namespace tessaly
