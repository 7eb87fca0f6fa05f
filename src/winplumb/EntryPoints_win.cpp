#include "winplumb/EntryPoints_win.h"

#include <array>
#include <utility>

namespace tessaly::win {
namespace {

std::array<EntryRecord*, EntryPoints::kCount> g_records{};

template <std::size_t N>
LRESULT CALLBACK Entry(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    EntryRecord* record = g_records[N];
    // An entry whose record is gone passes everything on; it cannot know the
    // previous procedure, so the default one is the only safe answer.
    return record ? record->Procedure(hwnd, message, wParam, lParam)
                  : DefWindowProcW(hwnd, message, wParam, lParam);
}

template <std::size_t... N>
constexpr std::array<WNDPROC, sizeof...(N)> MakeEntries(std::index_sequence<N...>) {
    return {&Entry<N>...};
}

constexpr std::array<WNDPROC, EntryPoints::kCount> kEntries =
    MakeEntries(std::make_index_sequence<EntryPoints::kCount>());

} // namespace

WNDPROC EntryPoints::Acquire(EntryRecord* record) {
    for (std::size_t i = 0; i < kCount; ++i) {
        if (!g_records[i]) {
            g_records[i] = record;
            return kEntries[i];
        }
    }
    return nullptr;
}

void EntryPoints::Release(WNDPROC entry) {
    for (std::size_t i = 0; i < kCount; ++i) {
        if (kEntries[i] == entry) g_records[i] = nullptr;
    }
}

std::size_t EntryPoints::InUse() {
    std::size_t used = 0;
    for (EntryRecord* record : g_records)
        used += record != nullptr;
    return used;
}

} // namespace tessaly::win
