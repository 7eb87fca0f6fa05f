#pragma once
// Every text the client's windows show the player, in one place.

#include "base/Texts.h"

namespace tessaly::texts {

inline constexpr wchar_t kNoConnection[] = L"未能连接到服务器，请检查网络连接是否正常！";

} // namespace tessaly::texts

// The version check.
namespace tessaly::texts {

inline constexpr wchar_t kUpdateQuestion[] = L"发现有新版本，是否现在更新！";
inline constexpr wchar_t kAlreadyLatest[] = L"当前版本已是最新，无需更新！";
inline constexpr wchar_t kUpdateUnverified[] = L"升级信息校验失败，请稍后再试！";

} // namespace tessaly::texts

// The main window.
namespace tessaly::texts {

inline constexpr wchar_t kOtherAccount[] = L"登录其他帐号";
inline constexpr wchar_t kGameSite[] = L"游戏官网";
inline constexpr wchar_t kMenuRefresh[] = L"刷新(F5)";
inline constexpr wchar_t kMenuHideRestore[] = L"隐藏/恢复(F10)";
inline constexpr wchar_t kMenuClearCache[] = L"清除缓存";
inline constexpr wchar_t kMenuUpdate[] = L"更新";
inline constexpr wchar_t kMenuVersion[] = L"版本号:";
inline constexpr wchar_t kMenuExit[] = L"退出";
inline constexpr wchar_t kCacheCleared[] = L"缓存已清理完毕！";
inline constexpr wchar_t kCacheClearing[] = L"缓存清理";

} // namespace tessaly::texts

// The exit confirmation.
namespace tessaly::texts {

inline constexpr wchar_t kExitQuestion[] = L"窗口即将关闭，确定要退出游戏？";
inline constexpr wchar_t kExitYes[] = L"是";
inline constexpr wchar_t kExitNo[] = L"否";

} // namespace tessaly::texts
