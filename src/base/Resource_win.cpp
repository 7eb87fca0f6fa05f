#include "base/Resource_win.h"

#include "base/ErrorLog.h"
#include "base/FileBytes_win.h"
#include "base/Text.h"

namespace tessaly::win {

ResourceBytes FindResourceBytes(int id, const wchar_t* type) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = info ? LoadResource(nullptr, info) : nullptr;
    if (!loaded) {
        LogError(L"resource " + std::wstring(type) + L" " + DecimalText(id) + L" is missing");
        return {};
    }
    return {LockResource(loaded), SizeofResource(nullptr, info)};
}

UniqueBitmap LoadBitmapResource(int id) {
    return UniqueBitmap(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

bool SaveResToFile(int id, const wchar_t* type, const std::wstring& path) {
    const ResourceBytes bytes = FindResourceBytes(id, type);
    if (!bytes.data) return false;
    return WriteFileBytes(path, {static_cast<const char*>(bytes.data), bytes.size});
}

} // namespace tessaly::win
