// WriteCanvasPng with the Windows Imaging Component: its PNG encoder fills a memory stream, written out whole.
#include "draw/png_export.h"

#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>

#include "support/user_output.h"

namespace {
// COM interfaces released when they go out of scope.
template <typename Interface>
struct Held {
    Interface* pointer = nullptr;
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held()
    {
        if (pointer != nullptr) pointer->Release();
    }
    Interface** out() { return &pointer; }
    Interface* operator->() const { return pointer; }
};

// COM for this thread, for as long as one picture takes: a thread that already
// runs COM in another mode (a window's apartment) keeps it and still encodes.
struct ComSession {
    HRESULT started = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ComSession() = default;
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;
    ~ComSession()
    {
        if (SUCCEEDED(started)) CoUninitialize();
    }
};

// The canvas as a PNG in a memory stream: 24-bit BGR rows, top row first.
bool EncodeCanvas(const Canvas& canvas, IStream* stream)
{
    Held<IWICImagingFactory> factory;
    Held<IWICBitmapEncoder> encoder;
    Held<IWICBitmapFrameEncode> frame;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.out()))) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out())) ||
        FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.out(), nullptr)) || FAILED(frame->Initialize(nullptr)) ||
        FAILED(frame->SetSize(static_cast<UINT>(canvas.width), static_cast<UINT>(canvas.height)))) {
        return false;
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) return false;
    // The canvas keeps its bottom row first; the encoder takes rows from the top.
    const auto rowBytes = static_cast<UINT>(canvas.width) * 3;
    for (int32_t y = 0; y < canvas.height; ++y) {
        if (FAILED(frame->WritePixels(1, rowBytes, rowBytes, canvas.pixelAddress(0, y)))) return false;
    }
    return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}
}  // namespace

bool WriteCanvasPng(const Canvas& canvas, const char* path)
{
    if (canvas.pixels == nullptr) return false;
    ComSession com;
    Held<IStream> stream;
    HGLOBAL memory = nullptr;
    STATSTG written{};
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.out())) || !EncodeCanvas(canvas, stream.pointer) ||
        FAILED(stream->Stat(&written, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(stream.pointer, &memory))) {
        errno = EIO;
        return false;
    }
    const void* bytes = GlobalLock(memory);
    if (bytes == nullptr) {
        errno = ENOMEM;
        return false;
    }
    bool ok = WriteUserFile(path, bytes, static_cast<size_t>(written.cbSize.QuadPart));
    int saved = errno;
    GlobalUnlock(memory);
    errno = saved;
    return ok;
}
