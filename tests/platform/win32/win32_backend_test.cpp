// The Windows backend's kernel half under Wine: Shift-JIS paths through code page 932, files
// and the atomic replace, directory listing, program and working directories, the language,
// programs that cannot start, and a Winsock round trip with a local listener.
#include "platform/text_convert.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_text.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include <winsock.h>

namespace {

// "日本" and the half-width "ｱ" in Shift-JIS; the file name "日本ｱ.mid".
const std::string NIHON_SJIS = "\x93\xfa\x96\x7b";
const std::string KANA_SJIS = "\xb1";
const std::string SONG_SJIS = NIHON_SJIS + KANA_SJIS + ".mid";
const wchar_t* const SONG_WIDE = L"\u65e5\u672c\uff71.mid";

bool write_text(const std::string& path, const std::string& text) {
    PlatformFile* file = win32_file_open(path.c_str(), FileMode::write);
    if (file == nullptr) {
        return false;
    }
    bool written = win32_file_write(file, text.data(), text.size()) == text.size();
    return win32_file_close(file) && written;
}

std::string read_text(const std::string& path) {
    PlatformFile* file = win32_file_open(path.c_str(), FileMode::read);
    if (file == nullptr) {
        return "(unreadable)";
    }
    std::string text;
    char buffer[7]; // small, so a read takes several calls
    size_t n;
    while ((n = win32_file_read(file, buffer, sizeof buffer)) > 0) {
        text.append(buffer, n);
    }
    win32_file_close(file);
    return text;
}

std::vector<std::pair<std::string, bool>> listing(const std::string& path, bool& read) {
    std::vector<std::pair<std::string, bool>> entries;
    read = win32_list_directory(
        path.c_str(),
        [](void* context, const char* name, bool is_directory) {
            static_cast<std::vector<std::pair<std::string, bool>>*>(context)->emplace_back(
                name, is_directory);
        },
        &entries);
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(Win32Text, ShiftJisReachesTheWideCallsAsCodePage932) {
    EXPECT_EQ(win32_widen(SONG_SJIS.c_str()), SONG_WIDE);
    std::string back;
    EXPECT_TRUE(win32_narrow(SONG_WIDE, back));
    EXPECT_EQ(back, SONG_SJIS);
    // The yen sign's byte 0x5C is the backslash of paths in code page 932.
    EXPECT_EQ(win32_widen("a\\b"), L"a\\b");
    // A lead byte at the end has no second byte: it stands for no character.
    EXPECT_EQ(win32_widen("a\x93"), L"a\ufffd");
    // Characters Shift-JIS cannot hold make the narrowing fail and are left out.
    EXPECT_FALSE(win32_narrow(L"a\u00e9b\U0001f600c", back));
    EXPECT_EQ(back, "abc");
}

TEST(Win32Text, Utf8ConversionsMatchTheOtherSystems) {
    EXPECT_EQ(sjis_to_utf8(SONG_SJIS), "日本ｱ.mid");
    EXPECT_EQ(utf8_to_sjis("日本ｱ.mid"), SONG_SJIS);
    // Each byte that is no character becomes one '?', and the text goes on after it.
    EXPECT_EQ(sjis_to_utf8(std::string("a\x93")), "a?");
    EXPECT_EQ(utf8_to_sjis("a\xc3\xa9z"), "a??z");
    std::string out;
    EXPECT_FALSE(platform_utf8_to_sjis_strict("a\xc3\xa9z", out));
    EXPECT_EQ(out, "az");
    EXPECT_FALSE(platform_utf8_to_sjis_strict("ab\xe6\x97", out)); // cut at the end
    EXPECT_EQ(out, "ab");
    EXPECT_TRUE(platform_utf8_to_sjis_strict("日本 ABC ｱ ①", out));
    EXPECT_EQ(out, utf8_to_sjis("日本 ABC ｱ ①"));
}

TEST(Win32Text, PathsShownAreCutBetweenCharacters) {
    char out[4];
    win32_path_display_text((NIHON_SJIS + "x").c_str(), out, sizeof out);
    EXPECT_STREQ(out, "\x93\xfa"); // the second kanji does not fit whole
    char wide[16];
    win32_path_display_text(SONG_SJIS.c_str(), wide, sizeof wide);
    EXPECT_EQ(std::string(wide), SONG_SJIS);
}

TEST(Win32Files, JapaneseNamesAreTheSameFileForTheWideCalls) {
    TempDir dir;
    std::string path = dir.file(SONG_SJIS);
    ASSERT_TRUE(write_text(path, "MThd"));
    // Whatever the system's own code page, the wide name is the one the Shift-JIS path meant.
    std::wstring wide = win32_widen(dir.path.c_str()) + L"\\" + SONG_WIDE;
    EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(win32_file_exists(path.c_str()));
    EXPECT_FALSE(win32_directory_exists(path.c_str()));
    EXPECT_EQ(read_text(path), "MThd");
    EXPECT_TRUE(win32_file_remove(path.c_str()));
    EXPECT_FALSE(win32_file_exists(path.c_str()));
    EXPECT_EQ(win32_file_open(path.c_str(), FileMode::read), nullptr);
    // A directory is not a file to read.
    EXPECT_EQ(win32_file_open(dir.path.c_str(), FileMode::read), nullptr);
}

TEST(Win32Files, SaveBesideThenReplaceSwapsTheWholeFile) {
    TempDir dir;
    std::string target = dir.file(SONG_SJIS);
    ASSERT_TRUE(write_text(target, "old song"));
    char temp_a[MAX_PATH];
    char temp_b[MAX_PATH];
    PlatformFile* a = win32_file_create_beside(target.c_str(), temp_a, sizeof temp_a);
    PlatformFile* b = win32_file_create_beside(target.c_str(), temp_b, sizeof temp_b);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_STRNE(temp_a, temp_b);
    // Beside the target: the same directory, so the move is a rename on one volume.
    EXPECT_EQ(std::string(temp_a).substr(0, target.size()), target);
    ASSERT_EQ(win32_file_write(a, "new song, longer", 16), 16u);
    EXPECT_TRUE(win32_file_close(a));
    EXPECT_TRUE(win32_file_close(b));
    EXPECT_EQ(read_text(target), "old song"); // untouched until the move
    EXPECT_TRUE(win32_file_rename(temp_a, target.c_str()));
    EXPECT_EQ(read_text(target), "new song, longer");
    EXPECT_FALSE(win32_file_exists(temp_a));
    EXPECT_TRUE(win32_file_remove(temp_b));
    // A name too long for the buffer makes no file.
    char small[8];
    EXPECT_EQ(win32_file_create_beside(target.c_str(), small, sizeof small), nullptr);
    // A move from nowhere fails and leaves the target.
    EXPECT_FALSE(win32_file_rename(dir.file("missing").c_str(), target.c_str()));
    EXPECT_EQ(read_text(target), "new song, longer");
}

TEST(Win32Files, ListingGivesShiftJisNamesAndTellsDirectories) {
    TempDir dir;
    ASSERT_TRUE(write_text(dir.file(SONG_SJIS), ""));
    ASSERT_TRUE(CreateDirectoryW((win32_widen(dir.path.c_str()) + L"\\sub").c_str(), nullptr));
    // A name Shift-JIS cannot hold could never be opened by a Shift-JIS path: left out.
    HANDLE other = CreateFileW((win32_widen(dir.path.c_str()) + L"\\caf\u00e9.mid").c_str(),
                               GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    CloseHandle(other);
    bool read = false;
    auto entries = listing(dir.path, read);
    EXPECT_TRUE(read);
    std::vector<std::pair<std::string, bool>> expected = {{"sub", true}, {SONG_SJIS, false}};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries, expected);
    entries = listing(dir.file("missing"), read);
    EXPECT_FALSE(read);
    EXPECT_TRUE(entries.empty());
}

TEST(Win32Paths, DirectoriesComeWithoutTrailingSeparator) {
    char program[MAX_PATH * 2];
    ASSERT_TRUE(win32_program_directory(program, sizeof program));
    EXPECT_TRUE(win32_file_exists((std::string(program) + "\\win32_backend_tests.exe").c_str()))
        << program;
    char tiny[4];
    EXPECT_FALSE(win32_program_directory(tiny, sizeof tiny));

    TempDir dir;
    char before[MAX_PATH * 2];
    ASSERT_TRUE(win32_current_directory(before, sizeof before));
    ASSERT_TRUE(SetCurrentDirectoryW(win32_widen(dir.path.c_str()).c_str()));
    char now[MAX_PATH * 2];
    EXPECT_TRUE(win32_current_directory(now, sizeof now));
    std::string name = now;
    EXPECT_NE(name.back(), '\\');
    EXPECT_TRUE(win32_directory_exists(now));
    EXPECT_EQ(GetFileAttributesW(win32_widen((name + "\\..").c_str()).c_str()) &
                  FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_TRUE(SetCurrentDirectoryW(win32_widen(before).c_str()));
    char home[MAX_PATH * 2];
    if (win32_home_directory(home, sizeof home)) {
        EXPECT_TRUE(win32_directory_exists(home)) << home;
    }
}

// The language Wine reports follows LANG; CTest runs this case in English and in Japanese.
TEST(Win32Paths, LanguageFollowsTheSystemDefault) {
    const char* expected = getenv("ZB_EXPECT_LANGUAGE");
    if (expected == nullptr) {
        GTEST_SKIP() << "run by CTest with ZB_EXPECT_LANGUAGE";
    }
    UiLanguage want = strcmp(expected, "ja") == 0 ? UiLanguage::japanese : UiLanguage::english;
    EXPECT_EQ(win32_system_language(), want);
}

TEST(Win32Programs, StartsThatCannotHappenReportFailure) {
    TempDir dir;
    EXPECT_FALSE(win32_start_program(dir.file("MELCONV.EXE").c_str(), "song.mid"));
    EXPECT_FALSE(win32_open_document(dir.file("missing.htm").c_str()));
}

TEST(Win32Network, ConnectsByAddressAndCarriesBytesBothWays) {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    address.sin_port = 0;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    int length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    int port = ntohs(address.sin_port);
    std::thread server([listener] {
        SOCKET peer = accept(listener, nullptr, nullptr);
        char buffer[16];
        int n = recv(peer, buffer, sizeof buffer, 0);
        if (n > 0) {
            send(peer, buffer, n, 0);
        }
        closesocket(peer);
    });
    HostLookup lookup = HostLookup::none;
    PlatformSocket* socket = win32_tcp_connect("127.0.0.1", port, &lookup);
    ASSERT_NE(socket, nullptr);
    EXPECT_EQ(lookup, HostLookup::by_address);
    EXPECT_EQ(win32_tcp_send(socket, "ping", 4), 4);
    char reply[8] = {};
    EXPECT_EQ(win32_tcp_receive(socket, reply, sizeof reply), 4);
    EXPECT_STREQ(reply, "ping");
    EXPECT_EQ(win32_tcp_receive(socket, reply, sizeof reply), 0); // the peer closed
    win32_tcp_close(socket);
    server.join();
    closesocket(listener);
    // Nobody listens there any more.
    EXPECT_EQ(win32_tcp_connect("127.0.0.1", port, &lookup), nullptr);
    WSACleanup();
}

} // namespace
