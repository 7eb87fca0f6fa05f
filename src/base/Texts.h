#pragma once
// The texts that every program of the client shows: its name and the title of
// its notices. The programs keep the rest of what they say themselves.

namespace tessaly::texts {

inline constexpr wchar_t kGameTitle[] = L"Tessaly";
inline constexpr wchar_t kClientSuffix[] = L"客户端";
inline constexpr wchar_t kNotice[] = L"提示";

} // namespace tessaly::texts
