// The version check: request, reply parsing and the report of each program.
#include "common/version_check.h"

#include "common/messages.h"
#include "common/text_sjis.h"
#include "platform/network.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Both pages are configuration of this kit; the programs never ask anyone else.
const VersionSite ZB47_VERSION_SITE = {"zb47.invalid/version/zb47.txt", VERSION_CHECK_PORT,
                                       ZB47_RELEASE, "http://zb47.invalid/",
                                       VersionProgram::sequencer};
const VersionSite MELCONV_VERSION_SITE = {"zb47.invalid/version/melconv.txt", VERSION_CHECK_PORT,
                                          MELCONV_RELEASE, "http://zb47.invalid/melconv/",
                                          VersionProgram::converter};

VersionCheck g_version_check;

void version_check_reset() {
    g_version_check = VersionCheck{};
}

void version_address_split(const char* address, char* host, char* path) {
    const char* slash = strchr(address, '/');
    size_t host_length = slash != nullptr ? static_cast<size_t>(slash - address) : strlen(address);
    if (host_length >= VERSION_ADDRESS_PART) {
        host_length = VERSION_ADDRESS_PART - 1;
    }
    memcpy(host, address, host_length);
    host[host_length] = '\0';
    const char* rest = slash != nullptr ? slash : "";
    snprintf(path, VERSION_ADDRESS_PART, "%s", rest[0] != '\0' ? rest : "/");
}

int version_reply_release(const char* text) {
    const char* mark = strchr(text, '!');
    if (mark == nullptr) {
        return 0;
    }
    char digits[5] = {};
    strncpy(digits, mark + 1, 4);
    return atoi(digits);
}

namespace {

bool send_all(PlatformSocket* socket, const char* request, size_t length) {
    size_t sent = 0;
    while (sent < length) {
        long n = platform_tcp_send(socket, request + sent, length - sent);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

void report_converter(const VersionSite& site) {
    show_message("%s", utf8_to_sjis("新しいバージョンがダウンロードできます。").c_str());
    platform_open_document(site.product_page);
}

void report_sequencer(const VersionSite& site, bool newer) {
    bool japanese = platform_system_language() == UiLanguage::japanese;
    std::string caption = japanese ? utf8_to_sjis("確認") : "CONFIRM";
    if (newer) {
        std::string text = japanese
                               ? utf8_to_sjis("新しいバージョンがあります。ダウンロードしますか？")
                               : "Finding new version. download?";
        if (platform_ask_yes_no(caption.c_str(), text.c_str())) {
            platform_open_document(site.product_page);
        }
        return;
    }
    std::string text =
        japanese ? utf8_to_sjis("このバージョンは最新版です。") : "This is the newest version.";
    platform_message_box(caption.c_str(), text.c_str(), MessageIcon::information);
}

} // namespace

int version_check_fetch(const VersionSite& site) {
    char host[VERSION_ADDRESS_PART];
    char path[VERSION_ADDRESS_PART];
    version_address_split(site.address, host, path);
    PlatformSocket* socket = platform_tcp_connect(host, site.port);
    if (socket == nullptr) {
        return -1;
    }
    char request[3 * VERSION_ADDRESS_PART];
    int length = snprintf(request, sizeof request,
                          "GET %s HTTP/1.0\r\nHost: %s:%d\r\nUser-Agent: %s\r\n\r\n", path, host,
                          site.port, "Mozilla/4.0");
    if (length < 0 || static_cast<size_t>(length) >= sizeof request ||
        !send_all(socket, request, static_cast<size_t>(length))) {
        platform_tcp_close(socket);
        return -1;
    }
    // Reads go on until the server closes. The most recent 5,000 bytes are kept, the oldest
    // dropped first, so a reply split across reads is examined whole and a number at the
    // end of a long page is still seen. "!0" stands when nothing came.
    constexpr size_t WINDOW = VERSION_RECEIVE_SIZE - 1;
    char received[VERSION_RECEIVE_SIZE] = "!0";
    char piece[WINDOW];
    size_t used = 0;
    for (;;) {
        long n = platform_tcp_receive(socket, piece, WINDOW);
        if (n <= 0) {
            break;
        }
        size_t count = static_cast<size_t>(n) < WINDOW ? static_cast<size_t>(n) : WINDOW;
        if (used + count > WINDOW) {
            size_t drop = used + count - WINDOW;
            memmove(received, received + drop, used - drop);
            used -= drop;
        }
        memcpy(received + used, piece, count);
        used += count;
        received[used] = '\0';
    }
    platform_tcp_close(socket);
    return version_reply_release(received);
}

void version_check_run(const VersionSite& site) {
    int release = version_check_fetch(site);
    g_version_check.server_release = release;
    g_version_check.newer = release > site.own_release;
    if (site.program == VersionProgram::converter) {
        if (g_version_check.newer) {
            report_converter(site);
        }
        return;
    }
    // The sequencer reports only an exchange that took place; a failed one stays silent.
    if (release >= 0) {
        report_sequencer(site, g_version_check.newer);
    }
}

int version_check_start(const VersionSite& site) {
    if (!platform_network_available()) {
        return 0;
    }
    version_check_run(site);
    return 1;
}
