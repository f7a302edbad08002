#include "fw/library_init_win.h"

#include <objidl.h>
#include <ole2.h>
#include <gdiplus.h>

namespace fw {

GdiplusSession GdiplusSession::Start() {
    GdiplusSession session;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&session.m_token, &input, nullptr) != Gdiplus::Ok) session.m_token = 0;
    return session;
}

void GdiplusSession::Reset() {
    if (m_token) Gdiplus::GdiplusShutdown(std::exchange(m_token, 0));
}

ComSession ComSession::StartOle() {
    return ComSession(SUCCEEDED(::OleInitialize(nullptr)) ? Kind::Ole : Kind::None);
}

ComSession ComSession::StartCom() {
    return ComSession(SUCCEEDED(::CoInitialize(nullptr)) ? Kind::Com : Kind::None);
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
