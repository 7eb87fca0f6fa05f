#include "shell/Redirect.h"

#include "base/Config.h"
#include "base/Text.h"

#include <vector>

namespace tessaly {
namespace {

struct Parts {
    std::wstring_view scheme;    // "http", without ':'
    std::wstring_view authority; // between "//" and the path
    std::wstring_view path;      // from its '/' (may be empty) to '?' or the end
    std::wstring_view query;     // from '?', or empty
};

// The parts of an absolute http or https address (IsAbsoluteHttpUrl holds).
Parts Split(std::wstring_view url) {
    Parts parts;
    const std::size_t colon = url.find(L':');
    parts.scheme = url.substr(0, colon);
    std::wstring_view rest = url.substr(colon + 3);
    rest = rest.substr(0, rest.find(L'#'));
    const std::size_t pathAt = std::min(rest.find_first_of(L"/?"), rest.size());
    parts.authority = rest.substr(0, pathAt);
    rest.remove_prefix(pathAt);
    const std::size_t queryAt = std::min(rest.find(L'?'), rest.size());
    parts.path = rest.substr(0, queryAt);
    parts.query = rest.substr(queryAt);
    return parts;
}

std::wstring HostOf(std::wstring_view authority) {
    authority.remove_prefix(authority.rfind(L'@') + 1); // npos + 1 is 0
    if (authority.starts_with(L'['))
        return AsciiLower(authority.substr(0, authority.find(L']') + 1));
    return AsciiLower(authority.substr(0, authority.find(L':')));
}

// "." and ".." steps taken out, as a server would read them.
std::wstring WithoutDotSteps(std::wstring_view path) {
    std::vector<std::wstring_view> kept;
    bool endsInFolder = false;
    for (std::size_t at = 1; at <= path.size();) {
        const std::size_t end = std::min(path.find(L'/', at), path.size());
        const std::wstring_view step = path.substr(at, end - at);
        endsInFolder = end == path.size() && (step == L"." || step == L"..");
        if (step == L"..") {
            if (!kept.empty()) kept.pop_back();
        } else if (step != L".") {
            kept.push_back(step);
        }
        at = end + 1;
    }
    std::wstring out;
    for (const std::wstring_view step : kept)
        out.append(L"/").append(step);
    if (out.empty() || endsInFolder) out += L'/';
    return out;
}

bool HasScheme(std::wstring_view reference) {
    const std::size_t colon = reference.find(L':');
    if (colon == 0 || colon == std::wstring_view::npos) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const wchar_t c = reference[i];
        const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
        const bool other = (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
        if (!letter && !(i > 0 && other)) return false;
    }
    return true;
}

std::wstring Resolve(const Parts& base, std::wstring_view reference) {
    if (HasScheme(reference)) return std::wstring(reference);
    const std::wstring scheme = std::wstring(base.scheme) + L":";
    if (reference.starts_with(L"//")) return scheme + std::wstring(reference);
    const std::wstring origin = scheme + L"//" + std::wstring(base.authority);
    if (reference.starts_with(L'?'))
        return origin + std::wstring(base.path) + std::wstring(reference);
    const std::size_t queryAt = std::min(reference.find(L'?'), reference.size());
    std::wstring path(reference.substr(0, queryAt));
    if (!path.starts_with(L'/')) {
        const std::wstring_view folder =
            base.path.empty() ? L"/" : base.path.substr(0, base.path.rfind(L'/') + 1);
        path = std::wstring(folder) + path;
    }
    return origin + WithoutDotSteps(path) + std::wstring(reference.substr(queryAt));
}

} // namespace

bool IsRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::optional<std::wstring> RedirectTarget(std::wstring_view current, std::wstring_view location,
                                           std::wstring_view first) {
    if (!IsAbsoluteHttpUrl(current) || !IsAbsoluteHttpUrl(first)) return std::nullopt;
    location = TrimSpaces(location);
    location = location.substr(0, location.find(L'#'));
    if (location.empty()) return std::nullopt;
    const Parts from = Split(current);
    const std::wstring target = Resolve(from, location);
    if (!IsAbsoluteHttpUrl(target) || target.find(L'\\') != std::wstring::npos) return std::nullopt;
    const Parts to = Split(target);
    if (to.authority.find(L'@') != std::wstring_view::npos) return std::nullopt;
    if (AsciiLower(from.scheme) == L"https" && AsciiLower(to.scheme) != L"https")
        return std::nullopt;
    if (HostOf(to.authority) != HostOf(Split(first).authority)) return std::nullopt;
    return target;
}

} // namespace tessaly
