// Functions the STL headers call that Visual Studio links statically from
// msvcprt.lib (they are not exported by msvcp140): the facet registry
// behind std::use_facet and the message text of system errors.
#include <windows.h>

#include <__msvc_system_error_abi.hpp>
#include <cstdlib>
#include <xfacet>

namespace std {

namespace {

// Facets made on first use by std::use_facet are kept until the module
// ends, then released, as msvcprt.lib does. Called under the library's
// locale lock.
struct FacetNode {
    FacetNode* next;
    _Facet_base* facet;
};

FacetNode* registeredFacets = nullptr;

void __cdecl releaseFacets()
{
    while (FacetNode* node = registeredFacets) {
        registeredFacets = node->next;
        delete node->facet->_Decref();
        delete node;
    }
}

} // namespace

void __cdecl _Facet_Register(_Facet_base* facet)
{
    if (registeredFacets == nullptr)
        atexit(&releaseFacets);
    registeredFacets = new FacetNode{registeredFacets, facet};
}

} // namespace std

extern "C" {

// Length of text without the spaces, tabs and line ends that
// FormatMessage leaves at the end.
size_t __stdcall __std_get_string_size_without_trailing_whitespace(const char* text, size_t size) noexcept
{
    while (size > 0) {
        const char last = text[size - 1];
        if (last != ' ' && last != '\t' && last != '\r' && last != '\n')
            break;
        --size;
    }
    return size;
}

// The system's text for an error code, in a buffer the caller releases
// with __std_system_error_deallocate_message; 0 when there is none.
size_t __stdcall __std_system_error_allocate_message(unsigned long code, char** text) noexcept
{
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<char*>(text), 0, nullptr);
    return __std_get_string_size_without_trailing_whitespace(*text, length);
}

void __stdcall __std_system_error_deallocate_message(char* text) noexcept
{
    LocalFree(text);
}

} // extern "C"
