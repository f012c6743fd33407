// The stand-ins for Visual Studio's runtime (msvc-cross/include, crt/) meet
// the real runtime DLLs here: objects made by msvcp140 and vcruntime140 are
// read through the stand-in headers, and the stand-ins' own functions do
// what the STL expects of Visual Studio's. Runs under Wine.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <typeinfo>
#include <vector>

#define NOMINMAX
#include <windows.h>

#include <gtest/gtest.h>

namespace {

// Dynamic initialisation of a global: runs only if the start-up code walks
// the initialiser sections.
int initialisedBeforeMain = std::string("seven").size() + 2;

struct Base {
    virtual ~Base() = default;
};
struct Derived : Base {};

TEST(RuntimeStandIns, GlobalsAreInitialisedBeforeMain)
{
    EXPECT_EQ(7, initialisedBeforeMain);
}

TEST(RuntimeStandIns, ExceptionsThrownByMsvcp140AreReadThroughTheStandInHeaders)
{
    const std::string text = "abc";
    try {
        (void)text.at(10); // thrown inside msvcp140 (std::_Xout_of_range)
        ADD_FAILURE() << "nothing was thrown";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ("invalid string position", error.what());
        const std::exception& base = error;
        EXPECT_STREQ("invalid string position", base.what());
    }
}

TEST(RuntimeStandIns, CopiedExceptionsKeepTheirMessage)
{
    std::runtime_error copy("");
    {
        std::runtime_error original(std::string("built at run time ") + std::to_string(42));
        copy = original; // __std_exception_copy in vcruntime140
    }
    EXPECT_STREQ("built at run time 42", copy.what());
}

TEST(RuntimeStandIns, OperatorNewThrowsWhenTheHeapRefuses)
{
    const std::size_t huge = std::numeric_limits<std::size_t>::max() / 2;
    EXPECT_THROW((void)::operator new(huge), std::bad_alloc);
    EXPECT_EQ(nullptr, ::operator new(huge, std::nothrow));
    EXPECT_THROW((void)::operator new(std::numeric_limits<std::size_t>::max()), std::bad_array_new_length);
    // Memory from one side is released on the other: both are ucrtbase's heap.
    void* block = ::operator new(64);
    std::free(block);
}

TEST(RuntimeStandIns, RunTimeTypeInformation)
{
    Derived derived;
    Base& base = derived;
    EXPECT_NE(nullptr, dynamic_cast<Derived*>(&base));
    EXPECT_TRUE(typeid(base) == typeid(Derived));
    EXPECT_FALSE(typeid(base) == typeid(Base));
    // Readable names come from vcruntime140 (Wine's leaves the anonymous
    // namespace of clang's mangling undecorated, so a named type here).
    EXPECT_STREQ("class std::out_of_range", typeid(std::out_of_range).name());
    EXPECT_EQ(typeid(int).hash_code(), typeid(int).hash_code());
    Base plain;
    Base& notDerived = plain;
    EXPECT_THROW((void)dynamic_cast<Derived&>(notDerived), std::bad_cast); // made by vcruntime140
}

TEST(RuntimeStandIns, FloatingPointClassification)
{
    EXPECT_EQ(FP_NAN, std::fpclassify(std::nan("")));
    EXPECT_EQ(FP_INFINITE, std::fpclassify(-HUGE_VAL));
    EXPECT_EQ(FP_ZERO, std::fpclassify(0.0f));
    EXPECT_EQ(FP_SUBNORMAL, std::fpclassify(std::numeric_limits<double>::denorm_min()));
    EXPECT_EQ(FP_NORMAL, std::fpclassify(1.5L));
    EXPECT_TRUE(std::signbit(-0.0));
    EXPECT_FALSE(std::signbit(0.0f));
    EXPECT_TRUE(std::isunordered(1.0, std::nan("")));
    EXPECT_TRUE(std::isless(1.0f, 2.0f));
    EXPECT_FLOAT_EQ(5.0f, std::hypot(3.0f, 4.0f));
    EXPECT_EQ(-3, std::lround(-2.5));
    EXPECT_DOUBLE_EQ(2.0, std::fmax(2.0, std::nan("")));
}

TEST(RuntimeStandIns, TimeIs64BitsAsInVisualStudio)
{
    static_assert(sizeof(std::time_t) == 8, "Visual Studio's time_t");
    std::timespec now{};
    ASSERT_EQ(TIME_UTC, std::timespec_get(&now, TIME_UTC));
    EXPECT_GT(now.tv_sec, 1600000000);
    std::tm local{};
    EXPECT_EQ(0, localtime_s(&local, &now.tv_sec));
    EXPECT_GE(local.tm_year, 120);
}

TEST(RuntimeStandIns, FormattingAndStreams)
{
    char buffer[8];
    EXPECT_EQ(-1, _snprintf_s(buffer, sizeof buffer, _TRUNCATE, "%s", "longer than eight"));
    EXPECT_STREQ("longer ", buffer);
    std::ostringstream out; // facets are registered through std::_Facet_Register
    out << std::hex << 255 << ' ' << 1.5;
    EXPECT_EQ("ff 1.5", out.str());
}

TEST(RuntimeStandIns, SystemErrorTexts)
{
    const std::string text = std::system_category().message(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_NE('\n', text.back());
    EXPECT_EQ("unknown error", std::system_category().message(0x7FFFFFF0));
}

TEST(RuntimeStandIns, FilesystemOperations)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("msvc-cross-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root);
    ASSERT_TRUE(fs::create_directories(root / "a" / "b"));
    EXPECT_FALSE(fs::create_directory(root / "a"));
    std::ofstream(root / "a" / "file.txt") << "twelve bytes";
    EXPECT_EQ(12u, fs::file_size(root / "a" / "file.txt"));
    EXPECT_TRUE(fs::is_directory(root / "a" / "b"));

    EXPECT_TRUE(fs::copy_file(root / "a" / "file.txt", root / "copy.txt"));
    EXPECT_FALSE(fs::copy_file(root / "a" / "file.txt", root / "copy.txt", fs::copy_options::skip_existing));
    std::error_code error;
    EXPECT_FALSE(fs::copy_file(root / "a" / "file.txt", root / "copy.txt", error));
    EXPECT_EQ(std::errc::file_exists, error);

    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        names.push_back(entry.path().lexically_relative(root).generic_string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"a", "a/b", "a/file.txt", "copy.txt"}), names);

    try {
        fs::remove(root / "a"); // not empty
        ADD_FAILURE() << "removed a folder that is not empty";
    } catch (const fs::filesystem_error& failure) {
        EXPECT_NE(std::string(failure.what()).find("remove"), std::string::npos) << failure.what();
    }
    fs::rename(root / "copy.txt", root / "moved.txt");
    EXPECT_FALSE(fs::exists(root / "copy.txt"));
    EXPECT_TRUE(fs::exists(root / "moved.txt"));
    EXPECT_EQ(5u, fs::remove_all(root));
    EXPECT_FALSE(fs::exists(root));
}

// Long division a bit at a time: slow, but made of shifts, comparisons and
// subtractions only, none of which needs a helper.
unsigned long long longDivision(unsigned long long dividend, unsigned long long divisor,
                                unsigned long long& remainder)
{
    unsigned long long quotient = 0;
    remainder = 0;
    for (int bit = 63; bit >= 0; --bit) {
        const bool carry = (remainder >> 63) != 0;
        remainder = (remainder << 1) | ((dividend >> bit) & 1);
        if (carry || remainder >= divisor) {
            remainder -= divisor;
            quotient |= 1ull << bit;
        }
    }
    return quotient;
}

// The 32-bit compiler turns / and % of 64-bit numbers into calls of the
// runtime's helpers; through volatile values, so that none is folded away.
TEST(RuntimeStandIns, DivisionOf64BitNumbersAgreesWithLongDivision)
{
    std::vector<unsigned long long> values = {0,           1,           2,           3,           7,
                                              0xFFFFFFFFull, 0x100000000ull, 0x100000001ull, 0x80000000ull,
                                              0x7FFFFFFFFFFFFFFFull, 0x8000000000000000ull, 0xFFFFFFFFFFFFFFFFull,
                                              0xFFFFFFFF00000000ull, 1000000007ull * 998244353ull};
    unsigned long long state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 400; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        // Numbers of every length, not just long ones.
        values.push_back(state >> (i % 64));
    }
    for (const unsigned long long a : values) {
        for (const unsigned long long b : values) {
            if (b == 0)
                continue;
            volatile unsigned long long dividend = a, divisor = b;
            unsigned long long remainder = 0;
            const unsigned long long quotient = longDivision(a, b, remainder);
            ASSERT_EQ(quotient, dividend / divisor) << a << " / " << b;
            ASSERT_EQ(remainder, dividend % divisor) << a << " % " << b;

            const long long x = static_cast<long long>(a), y = static_cast<long long>(b);
            if (x == std::numeric_limits<long long>::min() && y == -1)
                continue;
            volatile long long signedDividend = x, signedDivisor = y;
            const unsigned long long xMagnitude = x < 0 ? 0 - a : a, yMagnitude = y < 0 ? 0 - b : b;
            const unsigned long long magnitude = longDivision(xMagnitude, yMagnitude, remainder);
            // Toward zero; the remainder takes the dividend's sign.
            ASSERT_EQ(static_cast<long long>((x < 0) != (y < 0) ? 0 - magnitude : magnitude),
                      signedDividend / signedDivisor) << x << " / " << y;
            ASSERT_EQ(static_cast<long long>(x < 0 ? 0 - remainder : remainder), signedDividend % signedDivisor)
                << x << " % " << y;
        }
    }
}

// A frame of many pages: the 32-bit compiler has the runtime probe it page
// by page and move the stack top. The caller's own locals and its way back
// must come through whole.
__declspec(noinline) int bigFrame(int seed)
{
    volatile char block[300 * 1024];
    block[0] = static_cast<char>(seed);
    block[sizeof block / 2] = static_cast<char>(seed + 1);
    block[sizeof block - 1] = static_cast<char>(seed + 2);
    return block[0] + block[sizeof block / 2] + block[sizeof block - 1];
}

// Big frames nested: each probed below the one before.
__declspec(noinline) int nestedFrames(int depth)
{
    volatile char block[200 * 1024];
    block[0] = static_cast<char>(depth);
    block[sizeof block - 1] = static_cast<char>(depth);
    const int below = depth == 0 ? 0 : nestedFrames(depth - 1);
    return block[0] + block[sizeof block - 1] + below;
}

TEST(RuntimeStandIns, BigStackFramesAreProbedAndFreed)
{
    volatile int local = 12345;
    EXPECT_EQ(3 * 1 + 3, bigFrame(1));
    EXPECT_EQ(12345, local);
    // Three of them on the stack at once, three times over.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(2 * (2 + 1 + 0), nestedFrames(2));
    EXPECT_EQ(12345, local);
}

} // namespace
