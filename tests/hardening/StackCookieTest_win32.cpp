// The stack cookies of a Windows build, tried for real: a program built with
// the same flags as the plug-in runs itself as a child that writes past a
// buffer on its stack. The cookie check must end the child at once with
// STATUS_STACK_BUFFER_OVERRUN (no handler of the child runs), while the same
// child writing within bounds ends normally.
//   stack_cookie_test            runs both cases, exit 0 if both behave
//   stack_cookie_test write N    the child: writes N bytes into 16
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
    return failures == 0 ? 0 : 1;
}
