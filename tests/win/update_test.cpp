// Self-update against the stand-in publisher: the configuration check, the digest check of the
// download and the executable swap, on a stand-in executable in a scratch folder.
#include <gtest/gtest.h>

#include <string>

#include "app/update.h"
#include "app/update_win.h"
#include "base/md5.h"
#include "net/http_win.h"
#include "net/signed_download_win.h"
#include "publisher_fixture.h"
#include "win_test_support.h"

namespace {

using wintest::PublisherFixture;
using wintest::ReadFileBytes;
using wintest::WriteFileBytes;

const std::string kOldExe = "old executable bytes";

std::string Narrow(const std::wstring& s) {
    return std::string(s.begin(), s.end());
}

class UpdateTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.Start(R"({"routes": {}})"));
        m_folder = m_server.WorkDir() + L"app\\";
        CreateDirectoryW(m_folder.c_str(), nullptr);
        m_exe = m_folder + L"TnVexa.exe";
        ASSERT_TRUE(WriteFileBytes(m_exe, kOldExe));
        // A release is a program with this one's version resource (the helpers carry it).
        ASSERT_TRUE(ReadFileBytes(wintest::ExeFolder() + L"client_stub.exe", m_newExe));
        m_newExe += "second release";
        ASSERT_TRUE(WriteFileBytes(m_server.WorkDir() + L"release.exe", m_newExe));
        m_localKey = app::LocalReleaseKey(m_exe);
        m_newKey = app::ReleaseKey(base::Md5HexOf(m_newExe), app::kVersionText);
    }

    app::UpdateEnvironment Env(app::StartMode startMode = app::StartMode::Shortcut, bool updateDay = true) {
        app::UpdateEnvironment env;
        env.exePath = m_exe;
        env.configUrl = m_server.BaseUrl() + L"/update/ConfigTnVexa.htm";
        env.startMode = [startMode] { return startMode; };
        env.isUpdateDay = [updateDay] { return updateDay; };
        return env;
    }

    // Publishes a configuration with this key and the stand-in's copy of the release.
    void Publish(const std::wstring& key, const std::wstring& address = {}) {
        const std::string config = "[VerKey]\r\nTnVexa=" + Narrow(key) +
                                   "\r\nUpdAddr=" + Narrow(address.empty() ? Address() : address) + "\r\n";
        std::string escaped;
        for (char c : config)
            escaped += (c == '\r')   ? std::string("\\r")
                       : (c == '\n') ? std::string("\\n")
                                     : std::string(1, c);
        ASSERT_TRUE(m_server.SetScenario(R"({"routes": {"/update/ConfigTnVexa.htm": {"body": ")" + escaped +
                                         R"("}, "/dl/TnVexa.exe": {"file": ")" +
                                         PublisherFixture::UnixPath(m_server.WorkDir()) +
                                         R"(release.exe"}}})"));
    }

    std::wstring Address() const { return m_server.BaseUrl() + L"/dl/TnVexa.exe"; }

    // The signed download without its dialog.
    static bool Fetch(const net::SignedDownload& request, net::HeldDownload& held) {
        net::HttpRequestHandles handles;
        return net::FetchSigned(request, handles, {}, held);
    }

    // The new file held as the download leaves it: writable through the handle, by nobody else.
    base::Handle HoldNew() const {
        return base::Handle(CreateFileW((m_folder + L"NewTnVexa.exe").c_str(),
                                        GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    }

    std::string Exe() {
        std::string bytes;
        ReadFileBytes(m_exe, bytes);
        return bytes;
    }
    bool Exists(const wchar_t* name) {
        return GetFileAttributesW((m_folder + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    PublisherFixture m_server;
    std::wstring m_folder, m_exe, m_localKey, m_newKey;
    std::string m_newExe;
};

TEST_F(UpdateTest, CheckComparesThePublishedKeyWithTheLocalOne) {
    struct Case {
        std::wstring key;
        int expected;
        const char* why;
    };
    std::wstring upper = m_localKey;
    for (auto& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    const Case cases[] = {
        {m_newKey, 1, "another release"},
        {m_localKey, 0, "the same release"},
        {upper, 0, "the same release in capitals"},
        {L"", 0, "no release key, even with an address"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Publish(c.key);
        app::SelfUpdate update(Env());
        EXPECT_EQ(update.CheckForUpdate(false), c.expected);
        EXPECT_EQ(update.UpdateAddress(), Address());
        EXPECT_FALSE(Exists(L"ConfigTnVexa.htm")); // read, then deleted
    }
}

TEST_F(UpdateTest, UnforcedCheckStaysOfflineOutsideItsModesAndDays) {
    Publish(m_newKey);
    m_server.ClearLog();
    for (app::StartMode mode : {app::StartMode::Install, app::StartMode::Channel, app::StartMode::Uninstall,
                                app::StartMode::NewGamePage})
        EXPECT_EQ(app::SelfUpdate(Env(mode)).CheckForUpdate(false), 0) << static_cast<int>(mode);
    EXPECT_EQ(app::SelfUpdate(Env(app::StartMode::Shortcut, false)).CheckForUpdate(false), 0);
    // The checks run on this thread and the stand-in logs a request before answering it.
    EXPECT_TRUE(m_server.Requests().empty());
    EXPECT_EQ(app::SelfUpdate(Env(app::StartMode::Shortcut, false)).CheckForUpdate(true),
              1); // the menu's forced check
    EXPECT_EQ(m_server.Requests().size(), 1u);
}

TEST_F(UpdateTest, UnreachableConfigurationKeepsTheAddressAndFindsNoUpdate) {
    Publish(m_newKey);
    app::SelfUpdate update(Env());
    ASSERT_EQ(update.CheckForUpdate(true), 1);
    ASSERT_TRUE(
        m_server.SetScenario(R"({"routes": {"/update/ConfigTnVexa.htm": {"status": 404, "body": "x"}}})"));
    EXPECT_EQ(update.CheckForUpdate(true), 0);
    EXPECT_EQ(update.UpdateAddress(), Address());
    // An address that fills the configuration's buffer may have been cut off: none at all.
    Publish(m_newKey, Address() + L"?" + std::wstring(511, L'x'));
    EXPECT_EQ(update.CheckForUpdate(true), 1);
    EXPECT_EQ(update.UpdateAddress(), L"");
    EXPECT_FALSE(update.DownloadAndSwap(&Fetch));
}

TEST_F(UpdateTest, DownloadAndSwapPutsTheVerifiedReleaseInPlace) {
    Publish(m_newKey);
    app::SelfUpdate update(Env());
    ASSERT_EQ(update.CheckForUpdate(false), 1);
    ASSERT_TRUE(update.DownloadAndSwap(&Fetch));
    EXPECT_TRUE(Exe() == m_newExe);
    std::string old;
    ASSERT_TRUE(ReadFileBytes(m_folder + L"OldTnVexa.exe", old));
    EXPECT_EQ(old, kOldExe);
    EXPECT_FALSE(Exists(L"NewTnVexa.exe"));
}

TEST_F(UpdateTest, ADownloadThatIsNotThePublishedReleaseIsNotSwapped) {
    struct Case {
        const char* route;
        const char* downloaded; // what the failed download leaves behind, or nullptr
        const char* why;
    };
    const Case cases[] = {
        {R"({"body": "complete, but some other file"})", "complete, but some other file",
         "digest differs from the key"},
        {R"({"status": 404, "body": "x"})", nullptr, "not found"},
        {R"({"body": "0123456789", "short_by": 1})", "012345678", "short body"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Publish(m_newKey);
        app::SelfUpdate update(Env());
        ASSERT_EQ(update.CheckForUpdate(true), 1);
        ASSERT_TRUE(m_server.SetScenario(std::string(R"({"routes": {"/dl/TnVexa.exe": )") + c.route + "}}"));
        DeleteFileW((m_folder + L"NewTnVexa.exe").c_str());
        EXPECT_FALSE(update.DownloadAndSwap(&Fetch));
        EXPECT_EQ(Exe(), kOldExe);
        EXPECT_FALSE(Exists(L"OldTnVexa.exe"));
        std::string left;
        EXPECT_EQ(ReadFileBytes(m_folder + L"NewTnVexa.exe", left), c.downloaded != nullptr);
        if (c.downloaded) {
            EXPECT_EQ(left, c.downloaded);
        }
    }
}

TEST_F(UpdateTest, EqualKeysStillSwapWhenTheDownloadIsAsked) {
    // The installed program is the published release already.
    ASSERT_TRUE(WriteFileBytes(m_exe, m_newExe));
    Publish(app::LocalReleaseKey(m_exe));
    app::SelfUpdate update(Env());
    EXPECT_EQ(update.CheckForUpdate(true), 0);
    // "/update" downloads whatever the check said: the file is the one the key names.
    EXPECT_TRUE(update.DownloadAndSwap(&Fetch));
    EXPECT_TRUE(Exe() == m_newExe);
    EXPECT_TRUE(Exists(L"OldTnVexa.exe"));
}

TEST_F(UpdateTest, EmptyAddressFailsTheDownloadAtOnce) {
    app::SelfUpdate update(Env());
    bool asked = false;
    EXPECT_FALSE(update.DownloadAndSwap([&](const net::SignedDownload& request, net::HeldDownload& held) {
        asked = true;
        return Fetch(request, held);
    }));
    EXPECT_TRUE(asked);
    EXPECT_EQ(Exe(), kOldExe);
}

TEST_F(UpdateTest, ARefusedOrHalfDoneSwapLeavesTheOldExecutable) {
    const std::wstring newPath = m_folder + L"NewTnVexa.exe", oldPath = m_folder + L"OldTnVexa.exe";
    const app::HeldFileCheck accept = [](HANDLE) { return true; };
    // No new file held: nothing is moved.
    EXPECT_FALSE(app::SwapExecutable(m_exe, base::Handle(), oldPath, accept));
    EXPECT_EQ(Exe(), kOldExe);
    ASSERT_TRUE(WriteFileBytes(newPath, m_newExe));
    // Refused on its held handle: nothing is moved.
    EXPECT_FALSE(app::SwapExecutable(m_exe, HoldNew(), oldPath, [](HANDLE) { return false; }));
    EXPECT_EQ(Exe(), kOldExe);
    // Something takes the executable's free path between the moves: the held file is not moved
    // over it, and the executable goes back.
    EXPECT_FALSE(app::SwapExecutable(m_exe, HoldNew(), oldPath, accept, [&](app::SwapPoint point) {
        if (point == app::SwapPoint::OldMoved) WriteFileBytes(m_exe, "squatter");
    }));
    EXPECT_EQ(Exe(), kOldExe);
    // The release's own version resource, read through the handle, is what the check compares.
    EXPECT_TRUE(app::SwapExecutable(m_exe, HoldNew(), oldPath, [](HANDLE file) {
        return app::FileVersionOf(file) == app::PackedVersion(app::kVersionText);
    }));
    EXPECT_TRUE(Exe() == m_newExe);
}

TEST_F(UpdateTest, ASwapKilledAtAnyPointLosesNeitherRelease) {
    // helpers/swap_kill.exe swaps and ends itself at once when it passes the given point.
    const std::wstring newPath = m_folder + L"NewTnVexa.exe", oldPath = m_folder + L"OldTnVexa.exe";
    const struct {
        int point;
        const std::string* exe; // what each path holds afterwards (nullptr: nothing)
        const std::string* old;
        const std::string* fresh;
    } cases[] = {
        {0, &kOldExe, nullptr, &m_newExe}, // written through; the next update starts over
        {1, nullptr, &kOldExe, &m_newExe}, // between the renames: the executable's path is empty
        {2, &m_newExe, &kOldExe, nullptr}, // swapped; the old one is not yet marked for deletion
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.point);
        ASSERT_TRUE(WriteFileBytes(m_exe, kOldExe));
        ASSERT_TRUE(WriteFileBytes(newPath, m_newExe));
        DeleteFileW(oldPath.c_str());
        const std::wstring command = L"\"" + wintest::ExeFolder() + L"swap_kill.exe\" \"" + m_exe + L"\" \"" +
                                     newPath + L"\" \"" + oldPath + L"\" " + std::to_wstring(c.point);
        EXPECT_EQ(wintest::RunProcess(command, 20000), 42u) << "killed at its point";
        for (const auto& [path, expected] :
             {std::pair{m_exe, c.exe}, std::pair{oldPath, c.old}, std::pair{newPath, c.fresh}}) {
            std::string bytes;
            EXPECT_EQ(ReadFileBytes(path, bytes), expected != nullptr) << Narrow(path);
            if (expected) {
                EXPECT_EQ(bytes, *expected) << Narrow(path);
            }
        }
    }
}

} // namespace
