// Starts a child process with its standard output on a pipe, for tests that
// need a second process (the shared section of the hook library, kill tests).
#pragma once

#include <windows.h>

#include <string>

#include "ProgramPath.h"

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess()
    {
        if (m_process) {
            if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT)
                TerminateProcess(m_process, 1);
            CloseHandle(m_process);
        }
        if (m_read)
            CloseHandle(m_read);
    }
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    bool Start(const std::string &commandLine)
    {
        SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
        HANDLE write = nullptr;
        if (!CreatePipe(&m_read, &write, &sa, 0))
            return false;
        SetHandleInformation(m_read, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = write;
        si.hStdError = write;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        PROCESS_INFORMATION pi = {};
        std::string mutableLine = commandLine;
        const BOOL ok = CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
        CloseHandle(write);
        if (!ok)
            return false;
        CloseHandle(pi.hThread);
        m_process = pi.hProcess;
        return true;
    }

    // Reads output until a line equal to `line` arrives (true) or the pipe ends.
    bool WaitForLine(const std::string &line)
    {
        for (;;) {
            const size_t end = m_output.find('\n', m_scanned);
            if (end != std::string::npos) {
                std::string got = m_output.substr(m_scanned, end - m_scanned);
                if (!got.empty() && got.back() == '\r')
                    got.pop_back();
                m_scanned = end + 1;
                if (got == line)
                    return true;
                continue;
            }
            if (!ReadMore())
                return false;
        }
    }

    // Reads all remaining output and waits for the exit; returns the exit code
    // (-1 when it did not end within the time).
    int Finish(DWORD timeoutMs = 60000)
    {
        while (ReadMore()) {
        }
        if (WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(m_process, &code);
        return static_cast<int>(code);
    }

    const std::string &Output() const { return m_output; }
    HANDLE Handle() const { return m_process; }

    // Runs a command to its end and returns its exit code; output in *output.
    static int Run(const std::string &commandLine, std::string *output)
    {
        ChildProcess child;
        if (!child.Start(commandLine))
            return -2;
        const int code = child.Finish();
        if (output)
            *output = child.Output();
        return code;
    }

private:
    bool ReadMore()
    {
        char buffer[4096];
        DWORD got = 0;
        if (!ReadFile(m_read, buffer, sizeof buffer, &got, nullptr) || got == 0)
            return false;
        m_output.append(buffer, got);
        return true;
    }

    HANDLE m_process = nullptr;
    HANDLE m_read = nullptr;
    std::string m_output;
    size_t m_scanned = 0;
};
