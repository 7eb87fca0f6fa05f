#pragma once
// Every text the player reads, in one place.

namespace tessaly::texts {

inline constexpr wchar_t kGameTitle[] = L"Tessaly";
inline constexpr wchar_t kClientSuffix[] = L"客户端";
inline constexpr wchar_t kNotice[] = L"提示";
inline constexpr wchar_t kNoConnection[] = L"未能连接到服务器，请检查网络连接是否正常！";

} // namespace tessaly::texts

// The version check.
namespace tessaly::texts {

inline constexpr wchar_t kUpdateQuestion[] = L"发现有新版本，是否现在更新！";
inline constexpr wchar_t kAlreadyLatest[] = L"当前版本已是最新，无需更新！";

} // namespace tessaly::texts
