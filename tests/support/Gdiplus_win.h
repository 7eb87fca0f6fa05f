#pragma once
// GDI+ for the tests, which check the program's own decoding against it:
// a session, owners for its objects, and a PNG resource loaded as an image.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <wrl/client.h>

#include "base/Handles_win.h"
#include "base/Resource_win.h"

#include <cstring>
#include <memory>

namespace tessaly::win {

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
    }
    ~GdiplusSession() {
        if (token_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

struct GpImageDeleter {
    void operator()(Gdiplus::GpImage* image) const { Gdiplus::DllExports::GdipDisposeImage(image); }
};
using UniqueGpImage = std::unique_ptr<Gdiplus::GpImage, GpImageDeleter>;

struct GpGraphicsDeleter {
    void operator()(Gdiplus::GpGraphics* graphics) const {
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    }
};
using UniqueGpGraphics = std::unique_ptr<Gdiplus::GpGraphics, GpGraphicsDeleter>;

// A decoded image together with the memory it was decoded from: GDI+ may read
// the stream for as long as the image lives, so every release (Reset, which
// assignment and destruction use too) disposes of the image first, then the
// stream, then the memory block.
class StreamImage {
public:
    StreamImage() = default;
    StreamImage(UniqueGlobal block, Microsoft::WRL::ComPtr<IStream> stream, UniqueGpImage image)
        : block_(std::move(block))
        , stream_(std::move(stream))
        , image_(std::move(image)) {}
    StreamImage(StreamImage&&) noexcept = default;
    StreamImage& operator=(StreamImage&& other) noexcept {
        if (this != &other) {
            Reset();
            block_ = std::move(other.block_);
            stream_ = std::move(other.stream_);
            image_ = std::move(other.image_);
        }
        return *this;
    }
    ~StreamImage() { Reset(); }

    void Reset() {
        image_.reset();
        stream_.Reset();
        block_.reset();
    }
    Gdiplus::GpImage* get() const { return image_.get(); }
    explicit operator bool() const { return image_ != nullptr; }

private:
    UniqueGlobal block_;
    Microsoft::WRL::ComPtr<IStream> stream_;
    UniqueGpImage image_;
};

// A PNG held as a resource of a named type; empty when it is missing or not
// an image.
inline StreamImage LoadPngResource(int id, const wchar_t* type) {
    const ResourceBytes bytes = FindResourceBytes(id, type);
    if (!bytes.data) return {};
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes.size));
    if (!block) return {};
    if (void* target = GlobalLock(block.get())) {
        std::memcpy(target, bytes.data, bytes.size);
        GlobalUnlock(block.get());
    }
    Microsoft::WRL::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), FALSE, &stream))) return {};
    Gdiplus::GpImage* raw = nullptr;
    if (Gdiplus::DllExports::GdipLoadImageFromStream(stream.Get(), &raw) != Gdiplus::Ok) return {};
    return StreamImage(std::move(block), std::move(stream), UniqueGpImage(raw));
}

} // namespace tessaly::win
