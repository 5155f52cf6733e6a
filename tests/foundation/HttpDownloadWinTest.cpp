// Winsock before anything that includes windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "HttpDownload.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "MessageLog.h"
#include "SystemServices.h"
#include "TempDir.h"

namespace {

// A one-connection-at-a-time HTTP server on the loopback address, answering
// by path. "/stall" sends its head and part of the body, then holds the
// connection until Release() or Stop().
class TinyHttpServer {
public:
    TinyHttpServer()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        bind(m_listen, reinterpret_cast<sockaddr *>(&address), sizeof address);
        listen(m_listen, 4);
        int size = sizeof address;
        getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &size);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~TinyHttpServer()
    {
        Release();
        closesocket(m_listen);
        m_thread.join();
        CloseHandle(m_release);
        WSACleanup();
    }

    std::string Url(const std::string &path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    void Release() { SetEvent(m_release); }
    std::string LastRequest() const { return m_lastRequest; }

    static std::string Body() { return std::string(3000, 'x') + "end"; }

private:
    void Serve()
    {
        for (;;) {
            SOCKET client = accept(m_listen, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                return;
            Answer(client);
            closesocket(client);
        }
    }

    void Answer(SOCKET client)
    {
        std::string request;
        char buffer[4096];
        size_t headEnd = std::string::npos;
        size_t wanted = 0;
        DWORD timeout = 5000;
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char *>(&timeout), sizeof timeout);
        for (;;) {
            if (headEnd == std::string::npos && (headEnd = request.find("\r\n\r\n")) != std::string::npos) {
                const size_t at = request.find("Content-Length: ");
                wanted = headEnd + 4 + (at != std::string::npos && at < headEnd ? std::stoul(request.substr(at + 16)) : 0);
            }
            if (headEnd != std::string::npos && request.size() >= wanted)
                break;
            const int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0)
                return;
            request.append(buffer, got);
        }
        m_lastRequest = request;
        const std::string path = request.substr(request.find(' ') + 1, request.find(' ', request.find(' ') + 1) -
                                                                           request.find(' ') - 1);
        const std::string body = Body();
        std::string answer;
        if (path == "/ok" || path == "/post")
            answer = Head("200 OK", body.size()) + body;
        else if (path == "/missing")
            answer = Head("404 Not Found", 20) + "<html>gone</html>\r\n\r";
        else if (path == "/errorpage")
            answer = Head("200 OK", 28) + "The page cannot be displayed";
        else if (path == "/nolength")
            answer = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body;
        else if (path == "/stall") {
            const std::string head = Head("200 OK", body.size()) + body.substr(0, 100);
            send(client, head.data(), static_cast<int>(head.size()), 0);
            WaitForSingleObject(m_release, 30000);
            return;
        } else
            answer = Head("500 Server Error", 0);
        send(client, answer.data(), static_cast<int>(answer.size()), 0);
        shutdown(client, SD_SEND);
    }

    static std::string Head(const std::string &status, size_t length)
    {
        return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(length) + "\r\nConnection: close\r\n\r\n";
    }

    SOCKET m_listen = INVALID_SOCKET;
    HANDLE m_release = nullptr;
    int m_port = 0;
    std::thread m_thread;
    std::string m_lastRequest;
};

// The download dialog's part in a test: waits a while for the transfer,
// then cancels it as the user would.
std::shared_ptr<HttpTransfer> g_lastTransfer;
bool CancelAfterASecond(const std::shared_ptr<HttpTransfer> &transfer, const char *)
{
    g_lastTransfer = transfer;
    if (!StartHttpTransfer(transfer))
        return false;
    if (WaitForObjectPumping(transfer->done, 1000) == WAIT_OBJECT_0)
        return transfer->succeeded;
    transfer->cancelled = true;
    return false;
}

struct RunnerScope {
    explicit RunnerScope(HttpDownloadRunner runner) { SetHttpDownloadRunner(runner); }
    ~RunnerScope()
    {
        SetHttpDownloadRunner(nullptr);
        g_lastTransfer.reset();
    }
};

}  // namespace

TEST(HttpDownload, CompleteAnswersOnly)
{
    TinyHttpServer server;
    TempDir dir;
    MessageLog messages;
    const std::string target = dir.Path("lib.zip");
    ASSERT_TRUE(HttpDownload(server.Url("/ok").c_str(), target.c_str(), "Downloading", "", 0));
    EXPECT_EQ(TempDir::Read(target), TinyHttpServer::Body());
    EXPECT_EQ(server.LastRequest().substr(0, 8), "GET /ok ");

    // Without a scheme the address is taken as http.
    const std::string bare = server.Url("/ok").substr(7);
    ASSERT_TRUE(HttpDownload(bare.c_str(), dir.Path("bare.zip").c_str(), "", "", HTTPDL_TEMP_FILE));
    EXPECT_EQ(TempDir::Read(dir.Path("bare.zip")), TinyHttpServer::Body());

    // The temporary file replaces an existing target in one step; when it
    // cannot be put in place the system says why.
    ASSERT_TRUE(HttpDownload(server.Url("/errorpage").c_str(), target.c_str(), "", "", HTTPDL_TEMP_FILE));
    EXPECT_EQ(TempDir::Read(target), "The page cannot be displayed");
    EXPECT_TRUE(MessageLog::Messages().empty());
    EXPECT_FALSE(HttpDownload(server.Url("/ok").c_str(), dir.Path("no folder\\x.zip").c_str(), "", "",
                              HTTPDL_TEMP_FILE));
    EXPECT_EQ(MessageLog::Messages().size(), 1u);
    MessageLog::Messages().clear();

    // An error status, or no length, is a failure, whether or not a temporary
    // file is used, and the target keeps its old contents.
    for (const char *path : {"/missing", "/nolength", "/other"}) {
        for (int flags : {0, static_cast<int>(HTTPDL_TEMP_FILE)}) {
            dir.Write("lib.zip", "old library");
            EXPECT_FALSE(HttpDownload(server.Url(path).c_str(), target.c_str(), "", "", flags)) << path << flags;
            EXPECT_EQ(TempDir::Read(target), "old library") << path << flags;
        }
    }
    EXPECT_TRUE(MessageLog::Messages().empty());
}

TEST(HttpDownload, PostBodyAndErrorPageText)
{
    TinyHttpServer server;
    TempDir dir;
    const std::string target = dir.Path("answer.txt");
    ASSERT_TRUE(HttpDownload(server.Url("/post").c_str(), target.c_str(), "", "name=a&b=c d", 0));
    const std::string request = server.LastRequest();
    EXPECT_EQ(request.substr(0, 11), "POST /post ");
    EXPECT_EQ(request.substr(request.size() - 12), "name=a&b=c d");

    EXPECT_TRUE(HttpDownload(server.Url("/errorpage").c_str(), target.c_str(), "", "", 0));
    EXPECT_FALSE(HttpDownload(server.Url("/errorpage").c_str(), target.c_str(), "", "", HTTPDL_REJECT_ERROR_PAGE));

    MessageLog messages;
    EXPECT_FALSE(HttpDownload("http://", target.c_str(), "", "", 0));
    ASSERT_EQ(MessageLog::Messages().size(), 1u);
    EXPECT_EQ(MessageLog::Messages()[0], "Invalid URL:http://");
}

// A server that stops sending: the cancel ends the download at once, the
// worker finishes later by itself, and the target never changes.
TEST(HttpDownload, StalledServerIsCancelledAndLeavesTheTarget)
{
    TinyHttpServer server;
    TempDir dir;
    MessageLog messages;
    RunnerScope scope(&CancelAfterASecond);
    const std::string target = dir.Path("lib.zip");
    dir.Write("lib.zip", "old library");
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(HttpDownload(server.Url("/stall").c_str(), target.c_str(), "Library", "", HTTPDL_TEMP_FILE));
    EXPECT_LT(GetTickCount64() - start, 5000u);
    ASSERT_TRUE(g_lastTransfer);
    EXPECT_EQ(g_lastTransfer->length.load(), static_cast<long long>(TinyHttpServer::Body().size()));
    server.Release();
    ASSERT_EQ(WaitForSingleObject(g_lastTransfer->done, 20000), WAIT_OBJECT_0);
    EXPECT_FALSE(g_lastTransfer->succeeded);
    EXPECT_EQ(TempDir::Read(target), "old library");
    EXPECT_TRUE(MessageLog::Messages().empty());
}
