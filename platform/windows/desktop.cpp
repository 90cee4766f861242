#include "platform/desktop.h"

// clang-format off
#include <windows.h>  // before the headers that need its types
#include <io.h>
#include <shellapi.h>
// clang-format on

#include <cstdio>

#include "platform/windows/wide_text.h"

namespace warenkai {

std::string OpenInBrowser(const std::string& address, const std::string&) {
    // The shell's "open" on the address: the default browser shows it.
    const auto result = reinterpret_cast<std::intptr_t>(
        ::ShellExecuteW(nullptr, L"open", WideFromUtf8(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) {
        return {};
    }
    return SystemMessage(
        static_cast<unsigned long>(result == SE_ERR_NOASSOC ? ERROR_NO_ASSOCIATION : ::GetLastError()));
}

void PrepareConsole() {
    ::SetConsoleOutputCP(CP_UTF8);
}

void LeaveConsoleForWindow() {
    DWORD processes[2] = {};
    if (::GetConsoleProcessList(processes, 2) == 1) {
        ::FreeConsole();
    }
}

bool ErrorOutputIsTerminal() {
    return ::_isatty(::_fileno(stderr)) != 0;
}

std::vector<std::string> ProgramArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (words == nullptr) {
        return arguments;
    }
    for (int i = 0; i < count; ++i) {
        arguments.push_back(Utf8FromWide(words[i]));
    }
    ::LocalFree(words);
    return arguments;
}

}  // namespace warenkai
