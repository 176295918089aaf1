// "Ver Info": the version check on a thread of its own, or the message that there is no
// connection to ask over.
#include "sequencer/shell/immediate_actions.h"

#include "common/text_sjis.h"
#include "platform/midi.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"

#include <string>

namespace {

void version_thread_main(void*) {
    version_check_run(g_actions.version_site);
    g_actions.version_running.store(false);
}

// 1 when the check was started (or one is still under way), 0 when it cannot be.
int version_check_begin() {
    if (!platform_network_available()) {
        return 0;
    }
    if (g_actions.version_running.load()) {
        return 1; // one question at a time; its answer is still coming
    }
    immediate_actions_finish(); // the thread of an earlier check has ended: release it
    g_actions.version_running.store(true);
    g_actions.version_thread = platform_thread_start(version_thread_main, nullptr, false);
    if (g_actions.version_thread == nullptr) {
        g_actions.version_running.store(false);
        return 0;
    }
    return 1;
}

} // namespace

void version_info() {
    if (version_check_begin() == 0) {
        // The same words in both interfaces.
        std::string text = utf8_to_sjis("ネットに接続できませんでした。");
        std::string caption = utf8_to_sjis("確認");
        speak(text.c_str(), 1);
        platform_message_box(caption.c_str(), text.c_str(), MessageIcon::information);
    }
    // The box took the button's release: no click stays latched.
    g_shell.left_down.store(0);
}
