// The stack cookies of a Windows build, tried for real: a program built with
// the same flags as the plug-in runs itself as a child that writes past a
// buffer on its stack. The cookie check must end the child at once with
// STATUS_STACK_BUFFER_OVERRUN (no handler of the child runs), while the same
// child writing within bounds ends normally. In the mingw builds the cookie
// must already be fresh when the program's first constructor runs: Windows
// sets it, as the load configuration names it.
//   stack_cookie_test            runs both cases, exit 0 if both behave
//   stack_cookie_test write N    the child: writes N bytes into 16
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <windows.h>

namespace {

constexpr DWORD kStackBufferOverrun = 0xC0000409;

#if defined(_MSC_VER)
#define NOINLINE __declspec(noinline)
#else
#define NOINLINE __attribute__((noinline))
#endif

volatile char sink;

#if defined(__MINGW32__)
extern "C" uintptr_t __stack_chk_guard;
uintptr_t cookieAtStart = 0;

// Before every other constructor, the stack protector's own among them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wprio-ctor-dtor"
__attribute__((constructor(100))) void noteCookieAtStart()
{
    cookieAtStart = __stack_chk_guard;
}
#pragma GCC diagnostic pop

// The value gcc's guard and Visual Studio's cookie have until they are set.
#ifdef _WIN64
constexpr uintptr_t kDefaultCookie = 0x00002B992DDFA232ull;
#else
constexpr uintptr_t kDefaultCookie = 0xBB40E64Eu;
#endif
#endif

// A count known only at run time, so that the compiler can neither refuse
// nor drop the write.
NOINLINE void fillBuffer(size_t count)
{
    char buffer[16];
    std::memset(buffer, 'A', count);
    for (size_t i = 0; i < sizeof buffer; ++i)
        sink = buffer[i];
}

LONG WINAPI exitNormally(EXCEPTION_POINTERS*)
{
    ExitProcess(0);
}

// Runs this program with the arguments; its exit code, or ~0 if it did not run.
DWORD runChild(const std::string& arguments)
{
    char self[MAX_PATH];
    if (GetModuleFileNameA(nullptr, self, MAX_PATH) == 0)
        return ~DWORD(0);
    std::string command = "\"" + std::string(self) + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return ~DWORD(0);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = ~DWORD(0);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "write") == 0) {
        // No error box, and an unhandled-exception filter that would report
        // a normal exit: neither may be reached by a failed cookie check.
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
        SetUnhandledExceptionFilter(&exitNormally);
        fillBuffer(std::strtoul(argv[2], nullptr, 10));
        return 0;
    }

    struct Case {
        const char* name;
        const char* arguments;
        DWORD expected;
    };
    const Case cases[] = {
        {"within bounds", "write 16", 0},
        {"past the end", "write 256", kStackBufferOverrun},
    };
    int failures = 0;
    for (const Case& c : cases) {
        const DWORD code = runChild(c.arguments);
        const bool passed = code == c.expected;
        std::printf("%s %s: exit code 0x%08lX, expected 0x%08lX\n", passed ? "PASS" : "FAIL", c.name,
                    static_cast<unsigned long>(code), static_cast<unsigned long>(c.expected));
        failures += passed ? 0 : 1;
    }
#if defined(__MINGW32__)
    const bool fresh = cookieAtStart != kDefaultCookie && cookieAtStart == __stack_chk_guard;
    std::printf("%s the cookie before the first constructor: 0x%llX (the default 0x%llX)\n", fresh ? "PASS" : "FAIL",
                static_cast<unsigned long long>(cookieAtStart), static_cast<unsigned long long>(kDefaultCookie));
    failures += fresh ? 0 : 1;
#endif
    return failures == 0 ? 0 : 1;
}
