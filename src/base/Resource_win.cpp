#include "base/Resource_win.h"

#include "base/ErrorLog.h"

namespace tessaly::win {

ResourceBytes FindResourceBytes(int id, const wchar_t* type) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = info ? LoadResource(nullptr, info) : nullptr;
    if (!loaded) {
        LogError(L"resource " + std::wstring(type) + L" " + std::to_wstring(id) + L" is missing");
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
    // Windows refuses CREATE_ALWAYS over a hidden or system file unless the
    // call asks for those attributes too.
    const DWORD existing = GetFileAttributesW(path.c_str());
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        attributes = existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    DWORD written = 0;
    const bool ok = file && WriteFile(file.get(), bytes.data, bytes.size, &written, nullptr) &&
                    written == bytes.size;
    if (!ok) LogError(L"cannot write " + path);
    return ok;
}

} // namespace tessaly::win
