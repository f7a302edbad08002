#include "fw/library_init_win.h"

#include <objidl.h>
#include <ole2.h>
#include <gdiplus.h>

#include "base/trace_win.h"

namespace fw {

GdiplusSession GdiplusSession::Start() {
    GdiplusSession session;
    Gdiplus::GdiplusStartupInput input;
    if (const Gdiplus::Status status = Gdiplus::GdiplusStartup(&session.m_token, &input, nullptr)) {
        base::Trace(L"GDI+ not started", status);
        session.m_token = 0;
    }
    return session;
}

void GdiplusSession::Reset() {
    if (m_token) Gdiplus::GdiplusShutdown(std::exchange(m_token, 0));
}

ComSession ComSession::StartOle() {
    const HRESULT hr = ::OleInitialize(nullptr);
    if (FAILED(hr)) base::Trace(L"OLE not started", hr);
    return ComSession(SUCCEEDED(hr) ? Kind::Ole : Kind::None);
}

ComSession ComSession::StartCom() {
    const HRESULT hr = ::CoInitialize(nullptr);
    if (FAILED(hr)) base::Trace(L"COM not started", hr);
    return ComSession(SUCCEEDED(hr) ? Kind::Com : Kind::None);
}

void ComSession::Reset() {
    switch (std::exchange(m_kind, Kind::None)) {
    case Kind::Ole:
        ::OleUninitialize();
        break;
    case Kind::Com:
        ::CoUninitialize();
        break;
    case Kind::None:
        break;
    }
}

} // namespace fw
