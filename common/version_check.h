// Asking the maker's web server whether a newer release exists: one HTTP/1.0 GET, and the
// number after the first '!' of the reply is the server's release.
#pragma once

#include <cstddef>

constexpr int ZB47_RELEASE = 139;
constexpr int MELCONV_RELEASE = 124;
constexpr int VERSION_CHECK_PORT = 80;
constexpr size_t VERSION_ADDRESS_PART = 1024; // bytes for each of host and path
constexpr size_t VERSION_RECEIVE_SIZE = 5001;

enum class VersionProgram { sequencer, converter };

// Where one program asks: the version page as host and path run together (no scheme), the
// port, its own release number and the product page opened for a download.
struct VersionSite {
    const char* address;
    int port;
    int own_release;
    const char* product_page;
    VersionProgram program;
};

extern const VersionSite ZB47_VERSION_SITE;
extern const VersionSite MELCONV_VERSION_SITE;

// Outcome of the last check, for the programs' own logs and tests. Written by the thread
// running the check (the sequencer's version thread, the converter's only thread) and read
// only after it was joined. The exchange keeps its buffers on its own stack.
struct VersionCheck {
    int server_release = -1; // -1 when no exchange took place
    bool newer = false;
};

extern VersionCheck g_version_check;

void version_check_reset();

// Splits the address at its first '/': host before, path from the '/' on ("/" when empty).
void version_address_split(const char* address, char* host, char* path);
// Reads the release number from a reply text: the digits after the first '!', at most the
// four characters after it; no '!' or no digits read as 0.
int version_reply_release(const char* text);
// Runs the exchange; the release the server named, or -1 when it could not be asked.
int version_check_fetch(const VersionSite& site);
// The exchange and its report to the user (the converter speaks only of a newer release).
void version_check_run(const VersionSite& site);
// 0 when the system has no network connection; else runs the check in place and returns 1.
int version_check_start(const VersionSite& site);
