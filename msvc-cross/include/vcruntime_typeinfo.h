// Stand-in for Visual Studio's vcruntime_typeinfo.h: type_info as the
// compiler's RTTI records lay it out (a table pointer, a cached readable
// name, then the decorated name inline) and the cast exceptions. Names and
// comparisons are answered by vcruntime140, so RTTI records made here and in
// a Visual Studio host compare equal when they name the same type.
#pragma once
#ifndef _VCRUNTIME_TYPEINFO_H
#define _VCRUNTIME_TYPEINFO_H

#include <vcruntime_exception.h>

#pragma pack(push, _CRT_PACKING)

_CRT_BEGIN_C_HEADER
struct __type_info_node;
extern __type_info_node __type_info_root_node;

struct __std_type_info_data {
    char const* _UndecoratedName;
    char const _DecoratedName[1];
    __std_type_info_data() = delete;
    __std_type_info_data(__std_type_info_data const&) = delete;
    __std_type_info_data& operator=(__std_type_info_data const&) = delete;
};

_VCRTIMP int __cdecl __std_type_info_compare(__std_type_info_data const* lhs, __std_type_info_data const* rhs);
_VCRTIMP size_t __cdecl __std_type_info_hash(__std_type_info_data const* data);
_VCRTIMP char const* __cdecl __std_type_info_name(__std_type_info_data* data, __type_info_node* root);
_CRT_END_C_HEADER

extern "C++" {

class type_info {
public:
    type_info(type_info const&) = delete;
    type_info& operator=(type_info const&) = delete;

    size_t hash_code() const noexcept { return __std_type_info_hash(&_Data); }
    bool operator==(type_info const& other) const noexcept
    {
        return __std_type_info_compare(&_Data, &other._Data) == 0;
    }
    bool operator!=(type_info const& other) const noexcept
    {
        return __std_type_info_compare(&_Data, &other._Data) != 0;
    }
    bool before(type_info const& other) const noexcept { return __std_type_info_compare(&_Data, &other._Data) < 0; }
    char const* name() const noexcept { return __std_type_info_name(&_Data, &__type_info_root_node); }
    char const* raw_name() const noexcept { return _Data._DecoratedName; }

    // Defined out of line in the static runtime part (its table is what
    // every RTTI record points at).
    virtual ~type_info() noexcept;

private:
    mutable __std_type_info_data _Data;
};

} // extern "C++"

namespace std {

using ::type_info;

class bad_cast : public exception {
public:
    bad_cast() noexcept : exception("bad cast", 1) {}
    static bad_cast __construct_from_string_literal(char const* const message) noexcept
    {
        return bad_cast(message, 1);
    }

private:
    bad_cast(char const* const message, int) noexcept : exception(message, 1) {}
};

class bad_typeid : public exception {
public:
    bad_typeid() noexcept : exception("bad typeid", 1) {}
    static bad_typeid __construct_from_string_literal(char const* const message) noexcept
    {
        return bad_typeid(message, 1);
    }

private:
    friend class __non_rtti_object;
    bad_typeid(char const* const message, int) noexcept : exception(message, 1) {}
};

class __non_rtti_object : public bad_typeid {
public:
    static __non_rtti_object __construct_from_string_literal(char const* const message) noexcept
    {
        return __non_rtti_object(message, 1);
    }

private:
    __non_rtti_object(char const* const message, int) noexcept : bad_typeid(message, 1) {}
};

} // namespace std

#pragma pack(pop)

#endif
