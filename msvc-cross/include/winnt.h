// Wine's winnt.h defines some interlocked operations as inline functions
// for compilers other than Visual Studio (64-bit ones on 32-bit x86, the
// 128-bit one on x64). Clang knows them as built-ins on those Windows
// targets and refuses a definition, so Wine's are renamed away and the
// built-ins serve instead.
//
// Wine's IMAGE_LOAD_CONFIG_DIRECTORY32/64 end at the SafeSEH fields; the
// loader of Windows 10 and later reads the Control Flow Guard fields after
// them, and checks Size against the layouts it knows. So Wine's are renamed
// away and the layouts of the current Windows SDK take their names.
#pragma once
#define _IMAGE_LOAD_CONFIG_DIRECTORY32 __wine_IMAGE_LOAD_CONFIG_DIRECTORY32
#define IMAGE_LOAD_CONFIG_DIRECTORY32 __wine_IMAGE_LOAD_CONFIG_DIRECTORY32_t
#define PIMAGE_LOAD_CONFIG_DIRECTORY32 __wine_PIMAGE_LOAD_CONFIG_DIRECTORY32
#define _IMAGE_LOAD_CONFIG_DIRECTORY64 __wine_IMAGE_LOAD_CONFIG_DIRECTORY64
#define IMAGE_LOAD_CONFIG_DIRECTORY64 __wine_IMAGE_LOAD_CONFIG_DIRECTORY64_t
#define PIMAGE_LOAD_CONFIG_DIRECTORY64 __wine_PIMAGE_LOAD_CONFIG_DIRECTORY64
#define IMAGE_LOAD_CONFIG_DIRECTORY __wine_IMAGE_LOAD_CONFIG_DIRECTORY
#define PIMAGE_LOAD_CONFIG_DIRECTORY __wine_PIMAGE_LOAD_CONFIG_DIRECTORY
#define _InterlockedAnd64 __wine_InterlockedAnd64
#define _InterlockedCompareExchangePointer __wine_InterlockedCompareExchangePointer
#define _InterlockedExchangeAdd64 __wine_InterlockedExchangeAdd64
#define _InterlockedExchangePointer __wine_InterlockedExchangePointer
#define _InterlockedIncrement64 __wine_InterlockedIncrement64
#define _InterlockedDecrement64 __wine_InterlockedDecrement64
#define _InterlockedOr64 __wine_InterlockedOr64
#define _InterlockedXor64 __wine_InterlockedXor64
#define _InterlockedCompareExchange128 __wine_InterlockedCompareExchange128
#include_next <winnt.h>
#undef _InterlockedAnd64
#undef _InterlockedCompareExchangePointer
#undef _InterlockedExchangeAdd64
#undef _InterlockedExchangePointer
#undef _InterlockedIncrement64
#undef _InterlockedDecrement64
#undef _InterlockedOr64
#undef _InterlockedXor64
#undef _InterlockedCompareExchange128
#undef _IMAGE_LOAD_CONFIG_DIRECTORY32
#undef IMAGE_LOAD_CONFIG_DIRECTORY32
#undef PIMAGE_LOAD_CONFIG_DIRECTORY32
#undef _IMAGE_LOAD_CONFIG_DIRECTORY64
#undef IMAGE_LOAD_CONFIG_DIRECTORY64
#undef PIMAGE_LOAD_CONFIG_DIRECTORY64
#undef IMAGE_LOAD_CONFIG_DIRECTORY
#undef PIMAGE_LOAD_CONFIG_DIRECTORY

typedef struct _IMAGE_LOAD_CONFIG_CODE_INTEGRITY {
    WORD Flags;
    WORD Catalog;
    DWORD CatalogOffset;
    DWORD Reserved;
} IMAGE_LOAD_CONFIG_CODE_INTEGRITY, *PIMAGE_LOAD_CONFIG_CODE_INTEGRITY;

typedef struct _IMAGE_LOAD_CONFIG_DIRECTORY32 {
    DWORD Size;
    DWORD TimeDateStamp;
    WORD MajorVersion;
    WORD MinorVersion;
    DWORD GlobalFlagsClear;
    DWORD GlobalFlagsSet;
    DWORD CriticalSectionDefaultTimeout;
    DWORD DeCommitFreeBlockThreshold;
    DWORD DeCommitTotalFreeThreshold;
    DWORD LockPrefixTable;
    DWORD MaximumAllocationSize;
    DWORD VirtualMemoryThreshold;
    DWORD ProcessHeapFlags;
    DWORD ProcessAffinityMask;
    WORD CSDVersion;
    WORD DependentLoadFlags;
    DWORD EditList;
    DWORD SecurityCookie;
    DWORD SEHandlerTable;
    DWORD SEHandlerCount;
    DWORD GuardCFCheckFunctionPointer;
    DWORD GuardCFDispatchFunctionPointer;
    DWORD GuardCFFunctionTable;
    DWORD GuardCFFunctionCount;
    DWORD GuardFlags;
    IMAGE_LOAD_CONFIG_CODE_INTEGRITY CodeIntegrity;
    DWORD GuardAddressTakenIatEntryTable;
    DWORD GuardAddressTakenIatEntryCount;
    DWORD GuardLongJumpTargetTable;
    DWORD GuardLongJumpTargetCount;
    DWORD DynamicValueRelocTable;
    DWORD CHPEMetadataPointer;
    DWORD GuardRFFailureRoutine;
    DWORD GuardRFFailureRoutineFunctionPointer;
    DWORD DynamicValueRelocTableOffset;
    WORD DynamicValueRelocTableSection;
    WORD Reserved2;
    DWORD GuardRFVerifyStackPointerFunctionPointer;
    DWORD HotPatchTableOffset;
    DWORD Reserved3;
    DWORD EnclaveConfigurationPointer;
    DWORD VolatileMetadataPointer;
    DWORD GuardEHContinuationTable;
    DWORD GuardEHContinuationCount;
    DWORD GuardXFGCheckFunctionPointer;
    DWORD GuardXFGDispatchFunctionPointer;
    DWORD GuardXFGTableDispatchFunctionPointer;
    DWORD CastGuardOsDeterminedFailureMode;
    DWORD GuardMemcpyFunctionPointer;
} IMAGE_LOAD_CONFIG_DIRECTORY32, *PIMAGE_LOAD_CONFIG_DIRECTORY32;

typedef struct _IMAGE_LOAD_CONFIG_DIRECTORY64 {
    DWORD Size;
    DWORD TimeDateStamp;
    WORD MajorVersion;
    WORD MinorVersion;
    DWORD GlobalFlagsClear;
    DWORD GlobalFlagsSet;
    DWORD CriticalSectionDefaultTimeout;
    ULONGLONG DeCommitFreeBlockThreshold;
    ULONGLONG DeCommitTotalFreeThreshold;
    ULONGLONG LockPrefixTable;
    ULONGLONG MaximumAllocationSize;
    ULONGLONG VirtualMemoryThreshold;
    ULONGLONG ProcessAffinityMask;
    DWORD ProcessHeapFlags;
    WORD CSDVersion;
    WORD DependentLoadFlags;
    ULONGLONG EditList;
    ULONGLONG SecurityCookie;
    ULONGLONG SEHandlerTable;
    ULONGLONG SEHandlerCount;
    ULONGLONG GuardCFCheckFunctionPointer;
    ULONGLONG GuardCFDispatchFunctionPointer;
    ULONGLONG GuardCFFunctionTable;
    ULONGLONG GuardCFFunctionCount;
    DWORD GuardFlags;
    IMAGE_LOAD_CONFIG_CODE_INTEGRITY CodeIntegrity;
    ULONGLONG GuardAddressTakenIatEntryTable;
    ULONGLONG GuardAddressTakenIatEntryCount;
    ULONGLONG GuardLongJumpTargetTable;
    ULONGLONG GuardLongJumpTargetCount;
    ULONGLONG DynamicValueRelocTable;
    ULONGLONG CHPEMetadataPointer;
    ULONGLONG GuardRFFailureRoutine;
    ULONGLONG GuardRFFailureRoutineFunctionPointer;
    DWORD DynamicValueRelocTableOffset;
    WORD DynamicValueRelocTableSection;
    WORD Reserved2;
    ULONGLONG GuardRFVerifyStackPointerFunctionPointer;
    DWORD HotPatchTableOffset;
    DWORD Reserved3;
    ULONGLONG EnclaveConfigurationPointer;
    ULONGLONG VolatileMetadataPointer;
    ULONGLONG GuardEHContinuationTable;
    ULONGLONG GuardEHContinuationCount;
    ULONGLONG GuardXFGCheckFunctionPointer;
    ULONGLONG GuardXFGDispatchFunctionPointer;
    ULONGLONG GuardXFGTableDispatchFunctionPointer;
    ULONGLONG CastGuardOsDeterminedFailureMode;
    ULONGLONG GuardMemcpyFunctionPointer;
} IMAGE_LOAD_CONFIG_DIRECTORY64, *PIMAGE_LOAD_CONFIG_DIRECTORY64;

#ifdef _WIN64
typedef IMAGE_LOAD_CONFIG_DIRECTORY64 IMAGE_LOAD_CONFIG_DIRECTORY;
typedef PIMAGE_LOAD_CONFIG_DIRECTORY64 PIMAGE_LOAD_CONFIG_DIRECTORY;
#else
typedef IMAGE_LOAD_CONFIG_DIRECTORY32 IMAGE_LOAD_CONFIG_DIRECTORY;
typedef PIMAGE_LOAD_CONFIG_DIRECTORY32 PIMAGE_LOAD_CONFIG_DIRECTORY;
#endif

// GuardFlags of the load configuration, which Wine's header lacks.
#define IMAGE_GUARD_CF_INSTRUMENTED 0x00000100
#define IMAGE_GUARD_CF_FUNCTION_TABLE_PRESENT 0x00000400
