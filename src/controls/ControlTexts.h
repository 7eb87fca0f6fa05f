#pragma once
// The texts the skinned controls show the player.

namespace tessaly::texts {

inline constexpr wchar_t kExitQuestion[] = L"窗口即将关闭，确定要退出游戏？";
inline constexpr wchar_t kExitYes[] = L"是";
inline constexpr wchar_t kExitNo[] = L"否";

} // namespace tessaly::texts
