// Dialog tables run as native dialogs: a dialog's behaviour sees what the user typed and
// chose, in Shift-JIS, and OK, CANCEL, the close box and a check box end and change the
// dialog as the in-picture runner does. The "user" is a thread timer of the dialog's own
// message loop that works the controls the way clicks and typing do.
#include "converter/converter_desktop.h"
#include "gui/dialog_run.h"
#include "gui/dialog_table.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// What the timer does to the dialog once it is up.
struct UserActions {
    int edit_id = 0;
    const wchar_t* typed = nullptr; // replaces the edit's text
    int click_first = 0;            // a control clicked before the last one (0: none)
    int click_last = 0;             // 0: the close box instead
};

// Threads: the test thread only (the timer runs inside the dialog's loop).
struct NativeDialogTest {
    UserActions actions;
    bool done = false;
    std::vector<int> commands;
    std::string text_seen_at_ok;
    bool check_seen_at_ok = false;
    int check_id = 0;
};
NativeDialogTest g_test;

HWND dialog_window() {
    HWND active = GetActiveWindow();
    if (active != nullptr) {
        return active;
    }
    // Without a foreground window (no desktop focus) find the dialog among the thread's own.
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) == L"#32770") {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK user_timer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = dialog_window();
    if (g_test.done || dialog == nullptr) {
        return;
    }
    g_test.done = true;
    KillTimer(nullptr, timer);
    const UserActions& a = g_test.actions;
    if (a.typed != nullptr) {
        SetDlgItemTextW(dialog, a.edit_id, a.typed);
    }
    if (a.click_first != 0) {
        SendMessageW(GetDlgItem(dialog, a.click_first), BM_CLICK, 0, 0);
    }
    if (a.click_last != 0) {
        SendMessageW(GetDlgItem(dialog, a.click_last), BM_CLICK, 0, 0);
    } else {
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    }
}

int run_with(const DialogTemplate& dialog, DialogBehaviour& behaviour, const UserActions& a) {
    g_test = NativeDialogTest{};
    g_test.actions = a;
    SetTimer(nullptr, 0, 50, user_timer);
    return dialog_run(dialog, behaviour);
}

constexpr int TITLE_EDIT = 1000;

void title_init(void*, DialogRun& run) {
    dialog_set_text(run, TITLE_EDIT, "\x8b\xc8\x96\xbc"); // "曲名"
}

void title_command(void*, DialogRun& run, int id) {
    g_test.commands.push_back(id);
    if (id == CONTROL_OK) {
        g_test.text_seen_at_ok = dialog_get_text(run, TITLE_EDIT, 127);
    }
}

TEST(Win32NativeDialog, OkReadsTheTextTheInitPutThere) {
    DialogBehaviour b{nullptr, title_init, title_command};
    int id = run_with(*dialog_template(DIALOG_TITLE), b, UserActions{0, nullptr, 0, CONTROL_OK});
    EXPECT_EQ(id, CONTROL_OK);
    EXPECT_EQ(g_test.commands, std::vector<int>{CONTROL_OK});
    EXPECT_EQ(g_test.text_seen_at_ok, "\x8b\xc8\x96\xbc");
}

TEST(Win32NativeDialog, TypedJapaneseTextComesBackAsShiftJis) {
    DialogBehaviour b{nullptr, title_init, title_command};
    // "新しい曲" typed over the title.
    UserActions a{TITLE_EDIT, L"\x65B0\x3057\x3044\x66F2", 0, CONTROL_OK};
    EXPECT_EQ(run_with(*dialog_template(DIALOG_TITLE), b, a), CONTROL_OK);
    EXPECT_EQ(g_test.text_seen_at_ok, "\x90\x56\x82\xb5\x82\xa2\x8b\xc8");
}

TEST(Win32NativeDialog, CancelRunsItsCommandAndTheCloseBoxRunsNone) {
    DialogBehaviour b{nullptr, title_init, title_command};
    EXPECT_EQ(
        run_with(*dialog_template(DIALOG_TITLE), b, UserActions{0, nullptr, 0, CONTROL_CANCEL}),
        CONTROL_CANCEL);
    EXPECT_EQ(g_test.commands, std::vector<int>{CONTROL_CANCEL});
    EXPECT_EQ(run_with(*dialog_template(DIALOG_TITLE), b, UserActions{}), CONTROL_CANCEL);
    EXPECT_TRUE(g_test.commands.empty());
}

// A limit the behaviour sets holds for typed text too, cut on a character boundary.
void limited_init(void*, DialogRun& run) {
    dialog_set_limit(run, TITLE_EDIT, 5);
}

TEST(Win32NativeDialog, TypedTextKeepsTheByteLimitWithoutSplittingACharacter) {
    DialogBehaviour b{nullptr, limited_init, title_command};
    UserActions a{TITLE_EDIT, L"\x65B0\x3057\x3044\x66F2", 0, CONTROL_OK}; // 8 bytes
    EXPECT_EQ(run_with(*dialog_template(DIALOG_TITLE), b, a), CONTROL_OK);
    EXPECT_EQ(g_test.text_seen_at_ok, "\x90\x56\x82\xb5"); // two whole characters, 4 bytes
}

// The converter's options: its id 2 is a command, check boxes toggle once per click.
void options_command(void*, DialogRun& run, int id) {
    g_test.commands.push_back(id);
    if (id == CONTROL_OK) {
        g_test.check_seen_at_ok = dialog_get_check(run, g_test.check_id);
    }
}

void options_init(void*, DialogRun& run) {
    dialog_set_check(run, g_test.check_id, false);
}

TEST(Win32NativeDialog, ACheckBoxClickedOnceIsCheckedOnceAtOk) {
    const DialogTemplate& d = options_dialog_template(false);
    int check = 0;
    for (int i = 0; i < d.control_count && check == 0; i++) {
        if (d.controls[i].kind == ControlKind::check_box) {
            check = d.controls[i].id;
        }
    }
    ASSERT_NE(check, 0);
    DialogBehaviour b{nullptr, options_init, options_command};
    g_test = NativeDialogTest{};
    g_test.check_id = check;
    g_test.actions = UserActions{0, nullptr, check, CONTROL_OK};
    SetTimer(nullptr, 0, 50, user_timer);
    EXPECT_EQ(dialog_run(d, b), CONTROL_OK);
    EXPECT_TRUE(g_test.check_seen_at_ok);
    EXPECT_EQ(g_test.commands, (std::vector<int>{check, CONTROL_OK}));
}

} // namespace
