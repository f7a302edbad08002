// Move-only owners of a library's start-up (GDI+, OLE, COM): each undoes, exactly once, only
// what it started. An empty owner (default-constructed or moved from) undoes nothing.
#pragma once
#include <windows.h>

#include <utility>

namespace fw {

// GDI+ while the owner lives. The library counts its start-ups, so nested owners are fine.
class GdiplusSession {
public:
    GdiplusSession() = default;
    ~GdiplusSession() { Reset(); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    GdiplusSession(GdiplusSession&& o) noexcept : m_token(std::exchange(o.m_token, 0)) {}
    GdiplusSession& operator=(GdiplusSession&& o) noexcept {
        if (this != &o) {
            Reset();
            m_token = std::exchange(o.m_token, 0);
        }
        return *this;
    }
    // Starts the library; the answer is empty when it could not be started.
    static GdiplusSession Start();
    bool Ok() const { return m_token != 0; }
    void Reset();

private:
    ULONG_PTR m_token = 0;
};

// OLE (with COM in a single-threaded apartment) or COM alone on the calling thread, while the
// owner lives; it must be reset on the thread that started it.
class ComSession {
public:
    ComSession() = default;
    ~ComSession() { Reset(); }
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;
    ComSession(ComSession&& o) noexcept : m_kind(std::exchange(o.m_kind, Kind::None)) {}
    ComSession& operator=(ComSession&& o) noexcept {
        if (this != &o) {
            Reset();
            m_kind = std::exchange(o.m_kind, Kind::None);
        }
        return *this;
    }
    // OleInitialize; empty when it failed.
    static ComSession StartOle();
    // CoInitialize; empty when it failed.
    static ComSession StartCom();
    bool Ok() const { return m_kind != Kind::None; }
    void Reset();

private:
    enum class Kind { None, Ole, Com };
    explicit ComSession(Kind kind) : m_kind(kind) {}
    Kind m_kind = Kind::None;
};

} // namespace fw
