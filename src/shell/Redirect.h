#pragma once
// Which redirects a download follows. The downloader follows them itself, so
// that every address the bytes come from passes the same checks as the first.

#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// More than this many in a row end the download: a loop, or a server playing.
inline constexpr int kMaxRedirects = 5;

// 301, 302, 303, 307 and 308: the answers whose Location names the resource.
bool IsRedirect(int status);

// Where a redirect from `current` with this Location leads: resolved against
// `current` when relative, without its fragment. nullopt when it must not be
// followed: not an absolute http or https address once resolved, https to
// http, a host other than that of `first` (the address the download began
// with, letter case aside), or a user name or backslash, which URL readers
// disagree on and so could name another host than the one checked.
std::optional<std::wstring> RedirectTarget(std::wstring_view current, std::wstring_view location,
                                           std::wstring_view first);

} // namespace tessaly
