// Fetching one URL over HTTP into a local file: the transfer itself, run by
// a worker thread, and the download driver that waits for it and puts the
// result in place.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "CString.h"

// One transfer, shared by the worker and whoever waits for it; the worker
// keeps its own reference, so it may outlive a waiter that gave up.
struct HttpTransfer {
    HttpTransfer();
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer &) = delete;
    HttpTransfer &operator=(const HttpTransfer &) = delete;

    // Set before the start; not changed afterwards.
    CString url;   // "http://" is put in front unless it begins so
    CString file;  // receives the body
    CString body;  // empty: GET; else a POST of exactly these bytes

    // The waiter's cancel: the worker stops after its current read and from
    // then on shows no message.
    std::atomic<bool> cancelled{false};
    // Progress: the announced length (-1 before it is known) and the bytes
    // received so far.
    std::atomic<long long> length{-1};
    std::atomic<long long> received{0};

    // Results, valid once done is set.
    int status = 0;  // HTTP status code; 0 when no answer came
    bool succeeded = false;
    // Set (manual reset) when the worker has finished and closed the file.
    HANDLE done;
};

// Runs the transfer in the calling thread. It succeeds when the server
// answers with a 2xx status and a Content-Length, and the file receives
// exactly that many bytes. The file is opened (and emptied) only once such
// an answer has come, so an error answer leaves it alone. Errors that can be
// described are shown as messages unless cancelled.
bool RunHttpTransfer(HttpTransfer &transfer);
// Runs it on a worker thread at below-normal priority.
bool StartHttpTransfer(const std::shared_ptr<HttpTransfer> &transfer);

// What runs a download for HttpDownload and shows its progress (the download
// dialog): true for a complete download. Without one, the transfer runs on
// its worker while this thread's messages keep flowing.
typedef bool (*HttpDownloadRunner)(const std::shared_ptr<HttpTransfer> &transfer, const char *caption);
void SetHttpDownloadRunner(HttpDownloadRunner runner);

enum {
    HTTPDL_TEMP_FILE = 1,         // download into "~httpdl.tmp" in the temporary folder first
    HTTPDL_REJECT_ERROR_PAGE = 2, // a body with the browser's error text is a failure
};

// Downloads url into target. With HTTPDL_TEMP_FILE the target is replaced
// only by a complete download.
BOOL HttpDownload(const char *url, const char *target, const char *caption, const char *body, int flags);
