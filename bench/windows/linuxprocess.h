#pragma once

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

// Under Wine, what Linux counts for this process. Z:\proc\self is not it: Wine opens files in its
// server, so "self" is the server. The process is found by its name, which Wine gives it from the
// program's file; one bench runs at a time.
class LinuxProcess {
public:
    LinuxProcess()
    {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring name(path);
        name = name.substr(name.find_last_of(L"\\/") + 1).substr(0, 15); // as Linux keeps it
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            const std::wstring pid = found.cFileName;
            if (pid.find_first_not_of(L"0123456789") == std::wstring::npos &&
                read(L"Z:\\proc\\" + pid + L"\\comm") == std::string(name.begin(), name.end()))
                m_directory = L"Z:\\proc\\" + pid;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }

    // The CPU time of all its threads in milliseconds, from the kernel's nanosecond counts; NAN
    // where it was not found.
    double cpuMs() const
    {
        if (m_directory.empty())
            return NAN;
        double ns = 0;
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((m_directory + L"\\task\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return NAN;
        do {
            if (found.cFileName[0] != L'.')
                ns += std::atof(
                    read(m_directory + L"\\task\\" + found.cFileName + L"\\schedstat").c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return ns / 1e6;
    }

private:
    static std::string read(const std::wstring &path)
    {
        std::string text;
        if (std::FILE *file = _wfopen(path.c_str(), L"r")) {
            char buffer[64] = {};
            if (std::fgets(buffer, sizeof buffer, file))
                text = buffer;
            std::fclose(file);
        }
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        return text;
    }

    std::wstring m_directory;
};
