#include "HttpDownload.h"

#include <wininet.h>

#include <cstdio>
#include <cstring>

#include "ErrorText.h"
#include "Files.h"
#include "Folders.h"
#include "PathText.h"
#include "SystemServices.h"
#include "UserMessage.h"

HttpTransfer::HttpTransfer() : done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

HttpTransfer::~HttpTransfer()
{
    if (done)
        CloseHandle(done);
}

namespace {

// WinINet's own text for its error codes; the system's for the others.
CString InternetErrorText(DWORD code)
{
    char buffer[256] = {0};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  GetModuleHandleA("wininet.dll"), code, 0, buffer, sizeof buffer - 1, nullptr);
    if (length == 0)
        return ErrorText(code, false);
    return CString(buffer, static_cast<int>(length)).Trim();
}

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle = nullptr) : m_handle(handle) {}
    ~InternetHandle()
    {
        if (m_handle)
            InternetCloseHandle(m_handle);
    }
    InternetHandle(const InternetHandle &) = delete;
    InternetHandle &operator=(const InternetHandle &) = delete;
    operator HINTERNET() const { return m_handle; }

private:
    HINTERNET m_handle;
};

bool QueryNumber(HINTERNET request, DWORD what, DWORD &value)
{
    DWORD size = sizeof value;
    return HttpQueryInfoA(request, what | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) != 0;
}

bool Transfer(HttpTransfer &t)
{
    if (std::strncmp(t.url, "http://", 7) != 0)
        t.url = "http://" + t.url;

    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {0};
    char user[INTERNET_MAX_USER_NAME_LENGTH + 1] = {0};
    char password[INTERNET_MAX_PASSWORD_LENGTH + 1] = {0};
    char path[INTERNET_MAX_PATH_LENGTH + 1] = {0};
    char extra[INTERNET_MAX_PATH_LENGTH + 1] = {0};
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUserName = user;
    parts.dwUserNameLength = sizeof user;
    parts.lpszPassword = password;
    parts.dwPasswordLength = sizeof password;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof extra;
    if (!InternetCrackUrlA(t.url, 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTP || !host[0]) {
        if (!t.cancelled)
            ShowMessage("Invalid URL:" + t.url);
        return false;
    }
    const CString object = CString(path[0] ? path : "/") + extra;

    InternetHandle session(InternetOpenA(GetFileName(GetModulePath(), true), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                         nullptr, 0));
    if (!session) {
        if (!t.cancelled)
            ShowMessage(InternetErrorText(GetLastError()));
        return false;
    }
    // Milliseconds: a minute to reach the server.
    DWORD connectTimeout = 60000;
    InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connectTimeout, sizeof connectTimeout);

    InternetHandle connection(InternetConnectA(session, host, parts.nPort, user[0] ? user : nullptr,
                                               password[0] ? password : nullptr, INTERNET_SERVICE_HTTP, 0, 1));
    if (!connection || t.cancelled)
        return false;
    const bool post = !t.body.IsEmpty();
    InternetHandle request(HttpOpenRequestA(connection, post ? "POST" : "GET", object, nullptr, nullptr, nullptr,
                                            INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_DONT_CACHE |
                                                INTERNET_FLAG_RELOAD,
                                            1));
    if (!request || t.cancelled)
        return false;
    if (!HttpSendRequestA(request, nullptr, 0, post ? const_cast<char *>(t.body.GetString()) : nullptr,
                          static_cast<DWORD>(t.body.GetLength()))) {
        if (!t.cancelled)
            ShowMessage(InternetErrorText(GetLastError()));
        return false;
    }
    DWORD status = 0;
    if (QueryNumber(request, HTTP_QUERY_STATUS_CODE, status))
        t.status = static_cast<int>(status);
    // An error page is no download, and the file keeps what it had.
    if (t.status < 200 || t.status > 299)
        return false;
    DWORD length = 0;
    if (!QueryNumber(request, HTTP_QUERY_CONTENT_LENGTH, length))
        return false;
    t.length = length;

    FILE *file = std::fopen(t.file, "wb");
    if (!file)
        return false;
    long long total = 0;
    bool ok = true;
    char buffer[1024];
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request, buffer, sizeof buffer, &got)) {
            if (!t.cancelled)
                ShowMessage(InternetErrorText(GetLastError()));
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (std::fwrite(buffer, 1, got, file) != got) {
            ok = false;
            break;
        }
        total += got;
        t.received = total;
        if (t.cancelled) {
            ok = false;
            break;
        }
    }
    if (std::fclose(file) != 0)
        ok = false;
    return ok && total == static_cast<long long>(length);
}

DWORD WINAPI TransferThread(void *param)
{
    auto *own = static_cast<std::shared_ptr<HttpTransfer> *>(param);
    RunHttpTransfer(**own);
    delete own;
    return 0;
}

bool WaitWithoutWindow(const std::shared_ptr<HttpTransfer> &transfer, const char *)
{
    if (!StartHttpTransfer(transfer))
        return false;
    WaitForObjectPumping(transfer->done, INFINITE);
    return transfer->succeeded;
}

std::atomic<HttpDownloadRunner> g_runner{nullptr};

}  // namespace

bool RunHttpTransfer(HttpTransfer &transfer)
{
    transfer.succeeded = Transfer(transfer);
    const bool succeeded = transfer.succeeded;
    SetEvent(transfer.done);
    return succeeded;
}

bool StartHttpTransfer(const std::shared_ptr<HttpTransfer> &transfer)
{
    auto *own = new std::shared_ptr<HttpTransfer>(transfer);
    HANDLE thread = CreateThread(nullptr, 0, &TransferThread, own, CREATE_SUSPENDED, nullptr);
    if (!thread) {
        delete own;
        return false;
    }
    SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(thread);
    CloseHandle(thread);
    return true;
}

void SetHttpDownloadRunner(HttpDownloadRunner runner) { g_runner.store(runner); }

BOOL HttpDownload(const char *url, const char *target, const char *caption, const char *body, int flags)
{
    auto transfer = std::make_shared<HttpTransfer>();
    transfer->url = url ? url : "";
    transfer->file = (flags & HTTPDL_TEMP_FILE) ? GetTempFolder() + "~httpdl.tmp" : CString(target);
    transfer->body = body ? body : "";
    HttpDownloadRunner runner = g_runner.load();
    if (!(runner ? runner : &WaitWithoutWindow)(transfer, caption ? caption : ""))
        return FALSE;
    if (flags & HTTPDL_REJECT_ERROR_PAGE) {
        CString page;
        ReadTextFile(transfer->file, page);
        if (page.Find("The page cannot be displayed") >= 0)
            return FALSE;
    }
    if (flags & HTTPDL_TEMP_FILE) {
        // One step that replaces the target: it never goes missing, and a
        // failed move leaves the old one.
        if (!MoveFileExA(transfer->file, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED |
                                                     MOVEFILE_WRITE_THROUGH)) {
            ErrorText(0, true);
            return FALSE;
        }
    }
    return TRUE;
}
