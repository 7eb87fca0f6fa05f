#pragma once
// The texts the updater shows the player.

namespace tessaly::texts {

inline constexpr wchar_t kUpdated[] = L"软件已升至最新版本！";
inline constexpr wchar_t kUpdateFailed[] = L"更新未完成，已保留原版本！";
// Said only when some old file could not be put back; the client's next
// start finishes the job.
inline constexpr wchar_t kUpdateNotRestored[] = L"更新未完成，请重新启动程序以完成恢复！";
inline constexpr wchar_t kQuitUpdate[] = L"您是否要退出更新！";
inline constexpr wchar_t kDownloading[] = L"正在下载：";

} // namespace tessaly::texts
