// The C math header as ucrtbase provides it, in place of Wine's, which
// lacks the C99 functions for float and long double, float_t, and defines
// fpclassify/isnan/signbit as macros where <cmath> brings in functions of
// those names. Everything here is an import from ucrtbase or an inline
// function over one (long double is double, as on Visual Studio).
#pragma once
#ifndef _INC_MATH
#define _INC_MATH
#define __WINE_MATH_H // Wine's copy must not be read after this one

#include <corecrt.h>

#pragma pack(push, 8)
#ifdef __cplusplus
extern "C" {
#endif

#define _DOMAIN 1
#define _SING 2
#define _OVERFLOW 3
#define _UNDERFLOW 4
#define _TLOSS 5
#define _PLOSS 6

#ifndef _EXCEPTION_DEFINED
#define _EXCEPTION_DEFINED
struct _exception {
    int type;
    char* name;
    double arg1;
    double arg2;
    double retval;
};
#endif

#ifndef _COMPLEX_DEFINED
#define _COMPLEX_DEFINED
struct _complex {
    double x, y;
};
#endif

typedef float float_t;
typedef double double_t;

#define HUGE_VAL __builtin_huge_val()
#define HUGE_VALF __builtin_huge_valf()
#define HUGE_VALL __builtin_huge_vall()
#define INFINITY __builtin_inff()
#define NAN __builtin_nanf("")
#define _HUGE_ENUF 1e+300

#define FP_INFINITE 1
#define FP_NAN 2
#define FP_NORMAL (-1)
#define FP_SUBNORMAL (-2)
#define FP_ZERO 0
#define FP_ILOGB0 (-0x7fffffff - 1)
#define FP_ILOGBNAN 0x7fffffff
#define MATH_ERRNO 1
#define MATH_ERREXCEPT 2
#define math_errhandling (MATH_ERRNO | MATH_ERREXCEPT)

// Results of _dpcomp and friends.
#define _FP_LT 1
#define _FP_EQ 2
#define _FP_GT 4

#define _MATH_FUNCTION_1(name) _ACRTIMP double __cdecl name(double)
#define _MATH_FUNCTION_2(name) _ACRTIMP double __cdecl name(double, double)

_MATH_FUNCTION_1(acos);
_MATH_FUNCTION_1(asin);
_MATH_FUNCTION_1(atan);
_MATH_FUNCTION_2(atan2);
_MATH_FUNCTION_1(cos);
_MATH_FUNCTION_1(sin);
_MATH_FUNCTION_1(tan);
_MATH_FUNCTION_1(cosh);
_MATH_FUNCTION_1(sinh);
_MATH_FUNCTION_1(tanh);
_MATH_FUNCTION_1(exp);
_MATH_FUNCTION_1(log);
_MATH_FUNCTION_1(log10);
_MATH_FUNCTION_2(pow);
_MATH_FUNCTION_1(sqrt);
_MATH_FUNCTION_1(ceil);
_MATH_FUNCTION_1(fabs);
_MATH_FUNCTION_1(floor);
_MATH_FUNCTION_2(fmod);
_ACRTIMP double __cdecl frexp(double, int*);
_ACRTIMP double __cdecl ldexp(double, int);
_ACRTIMP double __cdecl modf(double, double*);
_MATH_FUNCTION_1(acosh);
_MATH_FUNCTION_1(asinh);
_MATH_FUNCTION_1(atanh);
_MATH_FUNCTION_1(cbrt);
_MATH_FUNCTION_2(copysign);
_MATH_FUNCTION_1(erf);
_MATH_FUNCTION_1(erfc);
_MATH_FUNCTION_1(exp2);
_MATH_FUNCTION_1(expm1);
_MATH_FUNCTION_2(fdim);
_ACRTIMP double __cdecl fma(double, double, double);
_MATH_FUNCTION_2(fmax);
_MATH_FUNCTION_2(fmin);
_MATH_FUNCTION_2(hypot);
_ACRTIMP int __cdecl ilogb(double);
_MATH_FUNCTION_1(lgamma);
_ACRTIMP long long __cdecl llrint(double);
_ACRTIMP long long __cdecl llround(double);
_MATH_FUNCTION_1(log1p);
_MATH_FUNCTION_1(log2);
_MATH_FUNCTION_1(logb);
_ACRTIMP long __cdecl lrint(double);
_ACRTIMP long __cdecl lround(double);
_ACRTIMP double __cdecl nan(char const*);
_MATH_FUNCTION_1(nearbyint);
_MATH_FUNCTION_2(nextafter);
_ACRTIMP double __cdecl nexttoward(double, long double);
_MATH_FUNCTION_2(remainder);
_ACRTIMP double __cdecl remquo(double, double, int*);
_MATH_FUNCTION_1(rint);
_MATH_FUNCTION_1(round);
_ACRTIMP double __cdecl scalbln(double, long);
_ACRTIMP double __cdecl scalbn(double, int);
_MATH_FUNCTION_1(tgamma);
_MATH_FUNCTION_1(trunc);
_MATH_FUNCTION_2(_hypot);
_MATH_FUNCTION_2(_copysign);
_MATH_FUNCTION_1(_chgsign);
_MATH_FUNCTION_1(_logb);
_MATH_FUNCTION_2(_nextafter);
_ACRTIMP double __cdecl _scalb(double, long);
_ACRTIMP int __cdecl _finite(double);
_ACRTIMP int __cdecl _isnan(double);
_ACRTIMP int __cdecl _fpclass(double);
_ACRTIMP double __cdecl _cabs(struct _complex);

#define _MATH_FUNCTION_1F(name) _ACRTIMP float __cdecl name##f(float)
#define _MATH_FUNCTION_2F(name) _ACRTIMP float __cdecl name##f(float, float)
_MATH_FUNCTION_1F(acosh);
_MATH_FUNCTION_1F(asinh);
_MATH_FUNCTION_1F(atanh);
_MATH_FUNCTION_1F(cbrt);
_MATH_FUNCTION_2F(copysign);
_MATH_FUNCTION_1F(erf);
_MATH_FUNCTION_1F(erfc);
_MATH_FUNCTION_1F(exp2);
_MATH_FUNCTION_1F(expm1);
_MATH_FUNCTION_2F(fdim);
_ACRTIMP float __cdecl fmaf(float, float, float);
_MATH_FUNCTION_2F(fmax);
_MATH_FUNCTION_2F(fmin);
_ACRTIMP int __cdecl ilogbf(float);
_MATH_FUNCTION_1F(lgamma);
_ACRTIMP long long __cdecl llrintf(float);
_ACRTIMP long long __cdecl llroundf(float);
_MATH_FUNCTION_1F(log1p);
_MATH_FUNCTION_1F(log2);
_MATH_FUNCTION_1F(logb);
_ACRTIMP long __cdecl lrintf(float);
_ACRTIMP long __cdecl lroundf(float);
_ACRTIMP float __cdecl nanf(char const*);
_MATH_FUNCTION_1F(nearbyint);
_MATH_FUNCTION_2F(nextafter);
_ACRTIMP float __cdecl nexttowardf(float, long double);
_MATH_FUNCTION_2F(remainder);
_ACRTIMP float __cdecl remquof(float, float, int*);
_MATH_FUNCTION_1F(rint);
_MATH_FUNCTION_1F(round);
_ACRTIMP float __cdecl scalblnf(float, long);
_ACRTIMP float __cdecl scalbnf(float, int);
_MATH_FUNCTION_1F(tgamma);
_MATH_FUNCTION_1F(trunc);

// Classification helpers behind fpclassify, signbit and the comparisons.
_ACRTIMP short __cdecl _dclass(double);
_ACRTIMP short __cdecl _fdclass(float);
_ACRTIMP int __cdecl _dsign(double);
_ACRTIMP int __cdecl _fdsign(float);
_ACRTIMP int __cdecl _dpcomp(double, double);
_ACRTIMP int __cdecl _fdpcomp(float, float);
_ACRTIMP short __cdecl _dtest(double*);
_ACRTIMP short __cdecl _fdtest(float*);

// The classic functions for float go through double, as Visual Studio's
// x86 header does (32-bit ucrtbase has no float versions of them).
#define _MATH_INLINE_1F(name) \
    static __inline float __cdecl name##f(float x) { return (float)name((double)x); }
#define _MATH_INLINE_2F(name) \
    static __inline float __cdecl name##f(float x, float y) { return (float)name((double)x, (double)y); }
_MATH_INLINE_1F(acos)
_MATH_INLINE_1F(asin)
_MATH_INLINE_1F(atan)
_MATH_INLINE_2F(atan2)
_MATH_INLINE_1F(cos)
_MATH_INLINE_1F(sin)
_MATH_INLINE_1F(tan)
_MATH_INLINE_1F(cosh)
_MATH_INLINE_1F(sinh)
_MATH_INLINE_1F(tanh)
_MATH_INLINE_1F(exp)
_MATH_INLINE_1F(log)
_MATH_INLINE_1F(log10)
_MATH_INLINE_2F(pow)
_MATH_INLINE_1F(sqrt)
_MATH_INLINE_1F(ceil)
_MATH_INLINE_1F(fabs)
_MATH_INLINE_1F(floor)
_MATH_INLINE_2F(fmod)
_MATH_INLINE_2F(hypot)
static __inline float __cdecl frexpf(float x, int* e) { return (float)frexp((double)x, e); }
static __inline float __cdecl ldexpf(float x, int e) { return (float)ldexp((double)x, e); }
static __inline float __cdecl modff(float x, float* i)
{
    double whole;
    float fraction = (float)modf((double)x, &whole);
    *i = (float)whole;
    return fraction;
}

// long double is double.
#define _MATH_INLINE_1L(name) \
    static __inline long double __cdecl name##l(long double x) { return name((double)x); }
#define _MATH_INLINE_2L(name) \
    static __inline long double __cdecl name##l(long double x, long double y) { return name((double)x, (double)y); }
_MATH_INLINE_1L(acos)
_MATH_INLINE_1L(asin)
_MATH_INLINE_1L(atan)
_MATH_INLINE_2L(atan2)
_MATH_INLINE_1L(cos)
_MATH_INLINE_1L(sin)
_MATH_INLINE_1L(tan)
_MATH_INLINE_1L(cosh)
_MATH_INLINE_1L(sinh)
_MATH_INLINE_1L(tanh)
_MATH_INLINE_1L(exp)
_MATH_INLINE_1L(log)
_MATH_INLINE_1L(log10)
_MATH_INLINE_2L(pow)
_MATH_INLINE_1L(sqrt)
_MATH_INLINE_1L(ceil)
_MATH_INLINE_1L(fabs)
_MATH_INLINE_1L(floor)
_MATH_INLINE_2L(fmod)
_MATH_INLINE_1L(acosh)
_MATH_INLINE_1L(asinh)
_MATH_INLINE_1L(atanh)
_MATH_INLINE_1L(cbrt)
_MATH_INLINE_2L(copysign)
_MATH_INLINE_1L(erf)
_MATH_INLINE_1L(erfc)
_MATH_INLINE_1L(exp2)
_MATH_INLINE_1L(expm1)
_MATH_INLINE_2L(fdim)
_MATH_INLINE_2L(fmax)
_MATH_INLINE_2L(fmin)
_MATH_INLINE_2L(hypot)
_MATH_INLINE_1L(lgamma)
_MATH_INLINE_1L(log1p)
_MATH_INLINE_1L(log2)
_MATH_INLINE_1L(logb)
_MATH_INLINE_1L(nearbyint)
_MATH_INLINE_2L(nextafter)
_MATH_INLINE_2L(remainder)
_MATH_INLINE_1L(rint)
_MATH_INLINE_1L(round)
_MATH_INLINE_1L(tgamma)
_MATH_INLINE_1L(trunc)
static __inline long double __cdecl frexpl(long double x, int* e) { return frexp((double)x, e); }
static __inline long double __cdecl ldexpl(long double x, int e) { return ldexp((double)x, e); }
static __inline long double __cdecl modfl(long double x, long double* i)
{
    double whole;
    double fraction = modf((double)x, &whole);
    *i = whole;
    return fraction;
}
static __inline long double __cdecl fmal(long double x, long double y, long double z)
{
    return fma((double)x, (double)y, (double)z);
}
static __inline int __cdecl ilogbl(long double x) { return ilogb((double)x); }
static __inline long long __cdecl llrintl(long double x) { return llrint((double)x); }
static __inline long long __cdecl llroundl(long double x) { return llround((double)x); }
static __inline long __cdecl lrintl(long double x) { return lrint((double)x); }
static __inline long __cdecl lroundl(long double x) { return lround((double)x); }
static __inline long double __cdecl nanl(char const* tag) { return nan(tag); }
static __inline long double __cdecl nexttowardl(long double x, long double y) { return nexttoward((double)x, y); }
static __inline long double __cdecl remquol(long double x, long double y, int* q)
{
    return remquo((double)x, (double)y, q);
}
static __inline long double __cdecl scalblnl(long double x, long e) { return scalbln((double)x, e); }
static __inline long double __cdecl scalbnl(long double x, int e) { return scalbn((double)x, e); }

#ifdef __cplusplus
} // extern "C"

// C++ has these as overloaded functions, not as macros.
extern "C++" {
inline int fpclassify(float x) noexcept { return _fdtest(&x); }
inline int fpclassify(double x) noexcept { return _dtest(&x); }
inline int fpclassify(long double x) noexcept
{
    double d = (double)x;
    return _dtest(&d);
}
inline bool signbit(float x) noexcept { return _fdsign(x) != 0; }
inline bool signbit(double x) noexcept { return _dsign(x) != 0; }
inline bool signbit(long double x) noexcept { return _dsign((double)x) != 0; }
template <class T> inline bool isfinite(T x) noexcept { return fpclassify(x) <= 0; }
template <class T> inline bool isinf(T x) noexcept { return fpclassify(x) == FP_INFINITE; }
template <class T> inline bool isnan(T x) noexcept { return fpclassify(x) == FP_NAN; }
template <class T> inline bool isnormal(T x) noexcept { return fpclassify(x) == FP_NORMAL; }
inline int _fpcomp(float x, float y) noexcept { return _fdpcomp(x, y); }
inline int _fpcomp(double x, double y) noexcept { return _dpcomp(x, y); }
inline int _fpcomp(long double x, long double y) noexcept { return _dpcomp((double)x, (double)y); }
template <class T, class U> inline bool isgreater(T x, U y) noexcept { return (_fpcomp(x, y) & _FP_GT) != 0; }
template <class T, class U> inline bool isgreaterequal(T x, U y) noexcept
{
    return (_fpcomp(x, y) & (_FP_EQ | _FP_GT)) != 0;
}
template <class T, class U> inline bool isless(T x, U y) noexcept { return (_fpcomp(x, y) & _FP_LT) != 0; }
template <class T, class U> inline bool islessequal(T x, U y) noexcept
{
    return (_fpcomp(x, y) & (_FP_LT | _FP_EQ)) != 0;
}
template <class T, class U> inline bool islessgreater(T x, U y) noexcept
{
    return (_fpcomp(x, y) & (_FP_LT | _FP_GT)) != 0;
}
template <class T, class U> inline bool isunordered(T x, U y) noexcept { return _fpcomp(x, y) == 0; }
}
#else
#define fpclassify(x) (sizeof(x) == sizeof(float) ? _fdclass(x) : _dclass(x))
#define signbit(x) (sizeof(x) == sizeof(float) ? _fdsign(x) : _dsign(x))
#define isinf(x) (fpclassify(x) == FP_INFINITE)
#define isnan(x) (fpclassify(x) == FP_NAN)
#define isnormal(x) (fpclassify(x) == FP_NORMAL)
#define isfinite(x) (fpclassify(x) <= 0)
#endif

#if defined(_USE_MATH_DEFINES) && !defined(_MATH_DEFINES_DEFINED)
#define _MATH_DEFINES_DEFINED
#define M_E 2.71828182845904523536
#define M_LOG2E 1.44269504088896340736
#define M_LOG10E 0.434294481903251827651
#define M_LN2 0.693147180559945309417
#define M_LN10 2.30258509299404568402
#define M_PI 3.14159265358979323846
#define M_PI_2 1.57079632679489661923
#define M_PI_4 0.785398163397448309616
#define M_1_PI 0.318309886183790671538
#define M_2_PI 0.636619772367581343076
#define M_2_SQRTPI 1.12837916709551257390
#define M_SQRT2 1.41421356237309504880
#define M_SQRT1_2 0.707106781186547524401
#endif

#pragma pack(pop)

#endif
