// The helpers a 32-bit program's compiler calls where the processor has no
// instruction of its own: division of 64-bit numbers (_alldiv, _allrem,
// _aulldiv, _aullrem) and the probe of a stack frame bigger than a page
// (_chkstk). Visual Studio links them into every program from its static
// runtime; Windows' ntdll exports them too, but a Visual Studio binary never
// imports them from there, and nor do ours.
//
// Each division helper takes its two numbers on the stack, returns in
// EDX:EAX and removes its arguments: the convention of __stdcall, under a
// name without __stdcall's "@16" (the thunks at the end).
#if defined(_M_IX86)

#include <intrin.h>

namespace {

// (high:low) / divisor by the processor's own division, when the quotient
// fits in 32 bits (high < divisor). A divisor of 0 faults there, as the
// division instruction does for any program.
unsigned divideByWord(unsigned long long dividend, unsigned divisor, unsigned& remainder)
{
    const unsigned low = static_cast<unsigned>(dividend);
    const unsigned high = static_cast<unsigned>(dividend >> 32);
    unsigned quotient = 0, rest = 0;
    __asm {
        mov eax, low
        mov edx, high
        div divisor
        mov quotient, eax
        mov rest, edx
    }
    remainder = rest;
    return quotient;
}

// Never with the / and % of 64-bit numbers: this is what they call.
unsigned long long divideUnsigned(unsigned long long dividend, unsigned long long divisor,
                                  unsigned long long& remainder)
{
    const unsigned divisorHigh = static_cast<unsigned>(divisor >> 32);
    if (divisorHigh == 0) {
        // Two steps of 64 by 32 bits: the high word, then what is left of it
        // with the low word.
        const unsigned word = static_cast<unsigned>(divisor);
        const unsigned dividendHigh = static_cast<unsigned>(dividend >> 32);
        unsigned rest = 0;
        const unsigned quotientHigh = dividendHigh < word ? 0 : divideByWord(dividendHigh, word, rest);
        if (dividendHigh < word)
            rest = dividendHigh;
        const unsigned long long lowPart = (static_cast<unsigned long long>(rest) << 32) |
                                           static_cast<unsigned>(dividend);
        const unsigned quotientLow = divideByWord(lowPart, word, rest);
        remainder = rest;
        return (static_cast<unsigned long long>(quotientHigh) << 32) | quotientLow;
    }
    // A divisor of more than 32 bits gives a quotient of at most 32. Its top
    // 32 bits, shifted up until the highest is set, divide half the
    // dividend; the quotient, shifted back, is the true one or one more.
    unsigned long highestBit = 0;
    _BitScanReverse(&highestBit, divisorHigh);
    const unsigned shift = 31 - static_cast<unsigned>(highestBit);
    const unsigned top = static_cast<unsigned>((divisor << shift) >> 32);
    unsigned ignored = 0;
    unsigned long long quotient =
        static_cast<unsigned long long>(divideByWord(dividend >> 1, top, ignored)) << shift >> 31;
    if (quotient != 0)
        --quotient;
    unsigned long long rest = dividend - quotient * divisor;
    if (rest >= divisor) {
        ++quotient;
        rest -= divisor;
    }
    remainder = rest;
    return quotient;
}

unsigned long long magnitude(long long value)
{
    const unsigned long long bits = static_cast<unsigned long long>(value);
    return value < 0 ? 0 - bits : bits;
}

} // namespace

extern "C" {

unsigned long long __stdcall msvc_cross_aulldiv(unsigned long long dividend, unsigned long long divisor)
{
    unsigned long long remainder = 0;
    return divideUnsigned(dividend, divisor, remainder);
}

unsigned long long __stdcall msvc_cross_aullrem(unsigned long long dividend, unsigned long long divisor)
{
    unsigned long long remainder = 0;
    divideUnsigned(dividend, divisor, remainder);
    return remainder;
}

// Rounded toward zero; the remainder has the dividend's sign.
long long __stdcall msvc_cross_alldiv(long long dividend, long long divisor)
{
    unsigned long long remainder = 0;
    const unsigned long long quotient = divideUnsigned(magnitude(dividend), magnitude(divisor), remainder);
    return static_cast<long long>((dividend < 0) != (divisor < 0) ? 0 - quotient : quotient);
}

long long __stdcall msvc_cross_allrem(long long dividend, long long divisor)
{
    unsigned long long remainder = 0;
    divideUnsigned(magnitude(dividend), magnitude(divisor), remainder);
    return static_cast<long long>(dividend < 0 ? 0 - remainder : remainder);
}

// EAX holds the size of the frame the caller is about to make. The pages
// down to its new stack top are touched one after the other, from the top
// down, so that the guard page below the stack moves down with them rather
// than being jumped over (which would be an access violation); then the
// stack top moves down by EAX and the caller goes on there. Only EAX is
// left changed, as the compiler expects.
__declspec(naked) void _chkstk()
{
    __asm {
        push ecx
        // The stack top the caller will have, less the place of the return
        // address. A size past the stack gives 0, whose page faults as a
        // stack overflow should.
        lea ecx, [esp + 4]
        sub ecx, eax
        jnc probe_from_here
        xor ecx, ecx
    probe_from_here:
        mov eax, esp
        and eax, 0xFFFFF000
    probe_next:
        cmp ecx, eax
        jae probed
        sub eax, 0x1000
        test dword ptr [eax], eax
        jmp probe_next
    probed:
        // ECX back first: the return address may go where it was kept.
        mov eax, esp
        lea esp, [ecx + 4]
        mov ecx, [eax]
        push dword ptr [eax + 4]
        ret
    }
}

// The compiler calls the divisions by their plain names, which
// __stdcall's decoration leaves to these.
__declspec(naked) void _aulldiv()
{
    __asm jmp msvc_cross_aulldiv
}

__declspec(naked) void _aullrem()
{
    __asm jmp msvc_cross_aullrem
}

__declspec(naked) void _alldiv()
{
    __asm jmp msvc_cross_alldiv
}

__declspec(naked) void _allrem()
{
    __asm jmp msvc_cross_allrem
}

} // extern "C"

#endif
