#pragma once
// Owners for the GDI+ objects the layered windows use. Each layered window
// starts GDI+ for itself and shuts it down after its images are gone.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <wrl/client.h>

#include "base/Handles_win.h"

#include <memory>

namespace tessaly::win {

class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
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

} // namespace tessaly::win
