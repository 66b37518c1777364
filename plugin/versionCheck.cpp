// The version check over WinINet.
#include "plugin/versionCheck.h"

#include <maya/MGlobal.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <string>

const char* const kPluginVersion = "1.11";
const char* const kDefaultVersionPage = "http://www.kestrixtools.com/version.txt";

namespace {

// The page only needs to start with the version; anything much longer is not a version page.
const DWORD kMaxPageBytes = 64 * 1024;

void showDialog(const char* title, const char* message) {
    MString command =
        MString("confirmDialog -t \"") + title + "\" -m \"" + message + "\" -b \"Ok\" -db \"Ok\"";
    MGlobal::executeCommand(command, false, false);
}

// The body of the opened page: Content-Length bytes when the server sends the length, else what comes
// until the end of the body.
std::string readPage(HINTERNET page) {
    DWORD wanted = kMaxPageBytes;
    char lengthText[32] = {};
    DWORD lengthSize = sizeof lengthText;
    if (HttpQueryInfoA(page, HTTP_QUERY_CONTENT_LENGTH, lengthText, &lengthSize, NULL)) {
        unsigned long length = std::strtoul(lengthText, nullptr, 10);
        if (length < wanted) wanted = DWORD(length);
    }
    std::string text;
    char buffer[4096];
    while (text.size() < wanted) {
        DWORD chunk = DWORD(std::min<size_t>(sizeof buffer, wanted - text.size()));
        DWORD got = 0;
        if (!InternetReadFile(page, buffer, chunk, &got) || got == 0) break;
        text.append(buffer, got);
    }
    return text;
}

}  // namespace

MString versionPageAddress() {
    return MString(kDefaultVersionPage);
}

void runVersionCheck(bool reportEveryOutcome) {
    HINTERNET internet = InternetOpenA("KestrixTools", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0);
    HINTERNET page = NULL;
    if (internet)
        page = InternetOpenUrlA(internet, versionPageAddress().asChar(), NULL, 0,
                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);

    // A server that answers with an error status has no version page to offer either.
    bool opened = page != NULL;
    if (opened) {
        DWORD status = 0;
        DWORD size = sizeof status;
        if (HttpQueryInfoA(page, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, NULL) &&
            status != HTTP_STATUS_OK)
            opened = false;
    }

    if (!opened) {
        showDialog("Sorry!", "Maya cannot connect to the internet.");
    } else if (readPage(page).substr(0, 4) != kPluginVersion) {
        showDialog("New Version!", "There is a new version of Kestrix Tools.");
    } else if (reportEveryOutcome) {
        showDialog("Up To Date!", "You are up to date.");
    }

    if (page) InternetCloseHandle(page);
    if (internet) InternetCloseHandle(internet);
}
