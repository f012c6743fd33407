// Entry point of a console program built with the stand-in runtime, doing
// what Visual Studio's mainCRTStartup does: sets the stack cookie, sets
// ucrtbase up for a console
// program, runs the initialisers, calls main with the parsed command line
// and leaves through exit(), which runs the atexit functions and flushes
// the streams.
#include <corecrt_startup.h>
#include <stdlib.h>

#include "StaticRuntime.h"

extern "C" int main(int argc, char** argv, char** envp);
extern "C" void __cdecl __security_init_cookie();

namespace {

void __cdecl finishProgram()
{
    msvc_cross::finishModule();
}

} // namespace

extern "C" int __cdecl mainCRTStartup()
{
    __security_init_cookie();
    _set_app_type(_crt_console_app);
    if (_configure_narrow_argv(_crt_argv_unexpanded_arguments) != 0 || _initialize_narrow_environment() != 0)
        _exit(255);
    if (!msvc_cross::initialiseModule() || _crt_atexit(&finishProgram) != 0)
        _exit(255);
    exit(main(*__p___argc(), *__p___argv(), _get_initial_narrow_environment()));
}
