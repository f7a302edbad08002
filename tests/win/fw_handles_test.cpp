// Handle owners: each handle (or value) is freed exactly once, moves hand ownership over, and a
// selected GDI object is put back.
#include "base/handle_win.h"

#include <gtest/gtest.h>

#include <thread>

#include "fw/library_init_win.h"

namespace {

bool IsOpen(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}

TEST(FwHandles, MovedHandleIsClosedOnceByItsLastOwner) {
    const HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(raw);
    {
        base::Handle first(raw);
        base::Handle second(std::move(first));
        EXPECT_FALSE(first.IsValid());
        EXPECT_EQ(second.Get(), raw);
        base::Handle third;
        third = std::move(second);
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));
}

// Whether COM is started on the calling thread (a start then answers S_FALSE).
bool ComStarted() {
    const HRESULT hr = CoInitialize(nullptr);
    if (SUCCEEDED(hr)) CoUninitialize();
    return hr == S_FALSE;
}

TEST(FwHandles, MovedComSessionIsUndoneOnceByItsLastOwner) {
    // A thread of its own: the test process keeps OLE started on its main thread.
    std::thread([] {
        ASSERT_FALSE(ComStarted());
        {
            fw::ComSession first = fw::ComSession::StartCom();
            ASSERT_TRUE(first.Ok());
            fw::ComSession second(std::move(first));
            { fw::ComSession emptied = std::move(first); } // an empty owner undoes nothing
            EXPECT_TRUE(ComStarted());
            fw::ComSession third = fw::ComSession::StartOle();
            third = std::move(second); // its own OLE start is undone, the moved-in one kept
            EXPECT_FALSE(second.Ok());
            EXPECT_TRUE(ComStarted());
        }
        EXPECT_FALSE(ComStarted());
    }).join();
}

TEST(FwHandles, InvalidHandleValueIsNeverClosed) {
    base::Handle none(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(none.IsValid());
    base::Handle released(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE raw = released.Release();
    EXPECT_FALSE(released.IsValid());
    EXPECT_TRUE(IsOpen(raw));
    CloseHandle(raw);
}

TEST(FwHandles, SelectedObjectPutsTheReplacedObjectBack) {
    base::MemoryDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BITMAP);
    base::Bitmap bitmap(CreateBitmap(4, 4, 1, 1, nullptr));
    {
        base::SelectedObject selected(dc.Get(), bitmap.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BITMAP), original);
    // No longer selected, so it can be deleted.
    EXPECT_TRUE(DeleteObject(bitmap.Release()));
}

class Counted : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown) return *out = nullptr, E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(FwHandles, ComPtrCountsReferences) {
    Counted object;
    {
        auto shared = base::ComPtr<IUnknown>::Share(&object);
        EXPECT_EQ(object.refs, 2u);
        auto moved = std::move(shared);
        EXPECT_EQ(object.refs, 2u);
        auto clone = moved.Clone();
        EXPECT_EQ(object.refs, 3u);
        base::ComPtr<IUnknown> queried;
        EXPECT_EQ(moved.As(queried), S_OK);
        EXPECT_EQ(object.refs, 4u);
    }
    EXPECT_EQ(object.refs, 1u);
    auto adopted = base::ComPtr<IUnknown>::Adopt(&object);
    adopted.Reset();
    EXPECT_EQ(object.refs, 0u);
}

TEST(FwHandles, MovedVariantReleasesWhatItHoldsOnce) {
    Counted object;
    {
        base::Variant first;
        VARIANT* value = first.Put();
        value->vt = VT_UNKNOWN;
        value->punkVal = &object;
        object.AddRef(); // the value's own reference
        base::Variant second(std::move(first));
        base::Variant third;
        third = std::move(second);
        EXPECT_EQ(object.refs, 2u);
    }
    EXPECT_EQ(object.refs, 1u);
}

} // namespace
