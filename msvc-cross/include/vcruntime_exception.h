// Stand-in for Visual Studio's vcruntime_exception.h: std::exception and the
// two exceptions of the language runtime. The layout is the documented one
// (a table pointer, then the message and whether this object owns a copy of
// it), and copies go through vcruntime140, so an exception thrown in a
// Visual Studio host, in msvcp140 or here is the same object everywhere.
#pragma once
#ifndef _VCRUNTIME_EXCEPTION_H
#define _VCRUNTIME_EXCEPTION_H

#include <eh.h>
#include <vcruntime.h>

#pragma pack(push, _CRT_PACKING)

_CRT_BEGIN_C_HEADER
struct __std_exception_data {
    char const* _What;
    bool _DoFree;
};
_VCRTIMP void __cdecl __std_exception_copy(__std_exception_data const* from, __std_exception_data* to);
_VCRTIMP void __cdecl __std_exception_destroy(__std_exception_data* data);
_CRT_END_C_HEADER

namespace std {

class exception {
public:
    exception() noexcept : _Data() {}

    // The message is copied, as the runtime's own constructor does.
    explicit exception(char const* const message) noexcept : _Data()
    {
        __std_exception_data init = {message, true};
        __std_exception_copy(&init, &_Data);
    }

    // A message with static storage: kept, not copied.
    exception(char const* const message, int) noexcept : _Data() { _Data._What = message; }

    exception(exception const& other) noexcept : _Data() { __std_exception_copy(&other._Data, &_Data); }

    exception& operator=(exception const& other) noexcept
    {
        if (this == &other)
            return *this;
        __std_exception_destroy(&_Data);
        __std_exception_copy(&other._Data, &_Data);
        return *this;
    }

    virtual ~exception() noexcept { __std_exception_destroy(&_Data); }

    [[nodiscard]] virtual char const* what() const { return _Data._What ? _Data._What : "Unknown exception"; }

private:
    __std_exception_data _Data;
};

class bad_exception : public exception {
public:
    bad_exception() noexcept : exception("bad exception", 1) {}
};

class bad_alloc : public exception {
public:
    bad_alloc() noexcept : exception("bad allocation", 1) {}

private:
    friend class bad_array_new_length;
    bad_alloc(char const* const message) noexcept : exception(message, 1) {}
};

class bad_array_new_length : public bad_alloc {
public:
    bad_array_new_length() noexcept : bad_alloc("bad array new length") {}
};

} // namespace std

#pragma pack(pop)

#endif
