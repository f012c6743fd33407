// The operating-system side of std::filesystem, which Visual Studio links
// statically from msvcprt.lib (the STL headers declare it in
// <xfilesystem_abi.h>). Each function is a thin layer over the wide Win32
// call the name suggests, and reports the Win32 error code unchanged, as
// the STL expects. Links and reparse points, which nothing here needs,
// report "not supported".
#include <windows.h>

#include <xfilesystem_abi.h>

namespace {

__std_win_error lastError()
{
    return static_cast<__std_win_error>(GetLastError());
}

HANDLE toHandle(__std_fs_file_handle handle)
{
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}

long long fileTime(const FILETIME& time)
{
    return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

__std_fs_convert_result convertToNarrow(
    __std_code_page codePage, const wchar_t* input, int inputLength, char* output, int outputLength, DWORD flags)
{
    const int length = WideCharToMultiByte(static_cast<UINT>(codePage), flags, input, inputLength, output,
                                           outputLength, nullptr, nullptr);
    if (length == 0 && inputLength != 0)
        return {0, lastError()};
    return {length, __std_win_error::_Success};
}

// What a file's handle tells (links, volume, index): opened for its
// attributes only, a folder too, without keeping others out.
__std_win_error fileInformation(const wchar_t* path, BY_HANDLE_FILE_INFORMATION& info)
{
    const HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    const BOOL ok = GetFileInformationByHandle(file, &info);
    const __std_win_error error = ok ? __std_win_error::_Success : lastError();
    CloseHandle(file);
    return error;
}

} // namespace

extern "C" {

__std_ulong_and_error __stdcall __std_fs_get_full_path_name(
    const wchar_t* source, unsigned long targetSize, wchar_t* target) noexcept
{
    const DWORD length = GetFullPathNameW(source, targetSize, target, nullptr);
    if (length == 0)
        return {0, lastError()};
    return {length, __std_win_error::_Success};
}

__std_win_error __stdcall __std_fs_open_handle(__std_fs_file_handle* handle, const wchar_t* fileName,
    __std_access_rights access, __std_fs_file_flags flags) noexcept
{
    const HANDLE opened = CreateFileW(fileName, static_cast<DWORD>(access),
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, static_cast<DWORD>(flags),
        nullptr);
    *handle = static_cast<__std_fs_file_handle>(reinterpret_cast<intptr_t>(opened));
    return opened == INVALID_HANDLE_VALUE ? lastError() : __std_win_error::_Success;
}

void __stdcall __std_fs_close_handle(__std_fs_file_handle handle) noexcept
{
    if (handle != __std_fs_file_handle::_Invalid)
        CloseHandle(toHandle(handle));
}

__std_win_error __stdcall __std_fs_get_file_attributes_by_handle(
    __std_fs_file_handle handle, unsigned long* attributes) noexcept
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(toHandle(handle), &info))
        return lastError();
    *attributes = info.dwFileAttributes;
    return __std_win_error::_Success;
}

__std_ulong_and_error __stdcall __std_fs_get_final_path_name_by_handle(
    __std_fs_file_handle handle, wchar_t* target, unsigned long targetSize, __std_fs_volume_name_kind kind) noexcept
{
    const DWORD length = GetFinalPathNameByHandleW(toHandle(handle), target, targetSize, static_cast<DWORD>(kind));
    if (length == 0)
        return {0, lastError()};
    return {length, __std_win_error::_Success};
}

__std_fs_copy_file_result __stdcall __std_fs_copy_file(
    const wchar_t* source, const wchar_t* target, __std_fs_copy_options options) noexcept
{
    const auto existing = options & __std_fs_copy_options::_Existing_mask;
    WIN32_FILE_ATTRIBUTE_DATA targetData;
    if (GetFileAttributesExW(target, GetFileExInfoStandard, &targetData)) {
        if (existing == __std_fs_copy_options::_None)
            return {false, __std_win_error::_File_exists};
        if (existing == __std_fs_copy_options::_Skip_existing)
            return {false, __std_win_error::_Success};
        if (existing == __std_fs_copy_options::_Update_existing) {
            WIN32_FILE_ATTRIBUTE_DATA sourceData;
            if (!GetFileAttributesExW(source, GetFileExInfoStandard, &sourceData))
                return {false, lastError()};
            if (fileTime(sourceData.ftLastWriteTime) <= fileTime(targetData.ftLastWriteTime))
                return {false, __std_win_error::_Success};
        }
    }
    if (!CopyFileW(source, target, FALSE))
        return {false, lastError()};
    return {true, __std_win_error::_Success};
}

__std_win_error __stdcall __std_fs_directory_iterator_open(
    const wchar_t* pathSpec, __std_fs_dir_handle* handle, __std_fs_find_data* results) noexcept
{
    if (*handle != __std_fs_dir_handle::_Invalid) {
        FindClose(reinterpret_cast<HANDLE>(static_cast<intptr_t>(*handle)));
        *handle = __std_fs_dir_handle::_Invalid;
    }
    // __std_fs_find_data is WIN32_FIND_DATAW field for field.
    const HANDLE found = FindFirstFileExW(pathSpec, FindExInfoBasic, reinterpret_cast<WIN32_FIND_DATAW*>(results),
                                          FindExSearchNameMatch, nullptr, 0);
    if (found == INVALID_HANDLE_VALUE)
        return lastError();
    *handle = static_cast<__std_fs_dir_handle>(reinterpret_cast<intptr_t>(found));
    return __std_win_error::_Success;
}

void __stdcall __std_fs_directory_iterator_close(__std_fs_dir_handle handle) noexcept
{
    if (handle != __std_fs_dir_handle::_Invalid)
        FindClose(reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle)));
}

__std_win_error __stdcall __std_fs_directory_iterator_advance(
    __std_fs_dir_handle handle, __std_fs_find_data* results) noexcept
{
    if (!FindNextFileW(reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle)),
                       reinterpret_cast<WIN32_FIND_DATAW*>(results)))
        return lastError();
    return __std_win_error::_Success;
}

__std_win_error __stdcall __std_fs_get_stats(const wchar_t* path, __std_fs_stats* stats,
    __std_fs_stats_flags flags, __std_fs_file_attr) noexcept
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return lastError();
    stats->_Attributes = static_cast<__std_fs_file_attr>(data.dwFileAttributes);
    stats->_File_size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stats->_Last_write_time = fileTime(data.ftLastWriteTime);
    stats->_Reparse_point_tag = __std_fs_reparse_tag::_None;
    stats->_Link_count = 1;
    if ((flags & __std_fs_stats_flags::_Link_count) != __std_fs_stats_flags::_None) {
        BY_HANDLE_FILE_INFORMATION info;
        const __std_win_error error = fileInformation(path, info);
        if (error != __std_win_error::_Success)
            return error;
        stats->_Link_count = info.nNumberOfLinks;
    }
    stats->_Available = flags & ~__std_fs_stats_flags::_Follow_symlinks;
    return __std_win_error::_Success;
}

__std_code_page __stdcall __std_fs_code_page() noexcept
{
    return static_cast<__std_code_page>(AreFileApisANSI() ? GetACP() : GetOEMCP());
}

__std_fs_convert_result __stdcall __std_fs_convert_narrow_to_wide(
    __std_code_page codePage, const char* input, int inputLength, wchar_t* output, int outputLength) noexcept
{
    const int length = MultiByteToWideChar(static_cast<UINT>(codePage), MB_ERR_INVALID_CHARS, input, inputLength,
                                           output, outputLength);
    if (length == 0 && inputLength != 0)
        return {0, lastError()};
    return {length, __std_win_error::_Success};
}

__std_fs_convert_result __stdcall __std_fs_convert_wide_to_narrow(
    __std_code_page codePage, const wchar_t* input, int inputLength, char* output, int outputLength) noexcept
{
    // UTF-8 has no default character; elsewhere a character without a
    // narrow form is an error rather than a silent '?'.
    const DWORD flags = codePage == __std_code_page::_Utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    return convertToNarrow(codePage, input, inputLength, output, outputLength, flags);
}

__std_fs_convert_result __stdcall __std_fs_convert_wide_to_narrow_replace_chars(
    __std_code_page codePage, const wchar_t* input, int inputLength, char* output, int outputLength) noexcept
{
    return convertToNarrow(codePage, input, inputLength, output, outputLength, 0);
}

__std_win_error __stdcall __std_fs_get_file_id(__std_fs_file_id* id, const wchar_t* path) noexcept
{
    BY_HANDLE_FILE_INFORMATION info;
    const __std_win_error error = fileInformation(path, info);
    if (error != __std_win_error::_Success)
        return error;
    id->_Volume_serial_number = info.dwVolumeSerialNumber;
    const unsigned long long index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    for (int i = 0; i < 16; ++i)
        id->_Id[i] = i < 8 ? static_cast<unsigned char>(index >> (8 * i)) : 0;
    return __std_win_error::_Success;
}

__std_win_error __stdcall __std_fs_set_last_write_time(long long time, const wchar_t* path) noexcept
{
    const HANDLE file = CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    FILETIME written;
    written.dwLowDateTime = static_cast<DWORD>(time);
    written.dwHighDateTime = static_cast<DWORD>(static_cast<unsigned long long>(time) >> 32);
    const BOOL ok = SetFileTime(file, nullptr, nullptr, &written);
    const __std_win_error error = ok ? __std_win_error::_Success : lastError();
    CloseHandle(file);
    return error;
}

__std_win_error __stdcall __std_fs_change_permissions(const wchar_t* path, bool, bool readonly) noexcept
{
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    const DWORD wanted = readonly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
    if (wanted != attributes && !SetFileAttributesW(path, wanted))
        return lastError();
    return __std_win_error::_Success;
}

__std_ulong_and_error __stdcall __std_fs_get_temp_path(wchar_t* target) noexcept
{
    const DWORD length = GetTempPathW(static_cast<DWORD>(__std_fs_temp_path_max), target);
    if (length == 0)
        return {0, lastError()};
    return {length, __std_win_error::_Success};
}

__std_ulong_and_error __stdcall __std_fs_get_current_path(unsigned long targetSize, wchar_t* target) noexcept
{
    const DWORD length = GetCurrentDirectoryW(targetSize, target);
    if (length == 0)
        return {0, lastError()};
    return {length, __std_win_error::_Success};
}

__std_win_error __stdcall __std_fs_set_current_path(const wchar_t* target) noexcept
{
    return SetCurrentDirectoryW(target) ? __std_win_error::_Success : lastError();
}

__std_win_error __stdcall __std_fs_create_directory_symbolic_link(const wchar_t*, const wchar_t*) noexcept
{
    return __std_win_error::_Not_supported;
}

__std_win_error __stdcall __std_fs_create_hard_link(const wchar_t* fileName, const wchar_t* existing) noexcept
{
    return CreateHardLinkW(fileName, existing, nullptr) ? __std_win_error::_Success : lastError();
}

__std_win_error __stdcall __std_fs_create_symbolic_link(const wchar_t*, const wchar_t*) noexcept
{
    return __std_win_error::_Not_supported;
}

__std_win_error __stdcall __std_fs_read_reparse_data_buffer(__std_fs_file_handle, void*, unsigned long) noexcept
{
    return __std_win_error::_Not_supported;
}

__std_win_error __stdcall __std_fs_write_reparse_data_buffer(
    __std_fs_file_handle, const __std_fs_reparse_data_buffer*) noexcept
{
    return __std_win_error::_Not_supported;
}

bool __stdcall __std_fs_is_junction_from_reparse_data_buffer(const __std_fs_reparse_data_buffer*) noexcept
{
    return false;
}

__std_win_error __stdcall __std_fs_read_name_from_reparse_data_buffer(
    __std_fs_reparse_data_buffer*, wchar_t**, unsigned short*) noexcept
{
    return __std_win_error::_Not_supported;
}

__std_fs_create_directory_result __stdcall __std_fs_create_directory(const wchar_t* directory) noexcept
{
    if (CreateDirectoryW(directory, nullptr))
        return {true, __std_win_error::_Success};
    const __std_win_error error = lastError();
    // An existing directory is no error, as the standard wants; an existing
    // file of that name is.
    if (error == __std_win_error::_Already_exists) {
        const DWORD attributes = GetFileAttributesW(directory);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return {false, __std_win_error::_Success};
    }
    return {false, error};
}

__std_fs_remove_result __stdcall __std_fs_remove(const wchar_t* target) noexcept
{
    const DWORD attributes = GetFileAttributesW(target);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const __std_win_error error = lastError();
        if (__std_is_file_not_found(error))
            return {false, __std_win_error::_Success};
        return {false, error};
    }
    const BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RemoveDirectoryW(target) : DeleteFileW(target);
    if (!removed)
        return {false, lastError()};
    return {true, __std_win_error::_Success};
}

__std_win_error __stdcall __std_fs_rename(const wchar_t* source, const wchar_t* target) noexcept
{
    return MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING) ? __std_win_error::_Success : lastError();
}

__std_win_error __stdcall __std_fs_resize_file(const wchar_t* target, uintmax_t size) noexcept
{
    const HANDLE file = CreateFileW(target, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(size);
    const BOOL ok = SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    const __std_win_error error = ok ? __std_win_error::_Success : lastError();
    CloseHandle(file);
    return error;
}

__std_win_error __stdcall __std_fs_space(
    const wchar_t* target, uintmax_t* available, uintmax_t* total, uintmax_t* free) noexcept
{
    ULARGE_INTEGER availableBytes, totalBytes, freeBytes;
    if (!GetDiskFreeSpaceExW(target, &availableBytes, &totalBytes, &freeBytes))
        return lastError();
    *available = availableBytes.QuadPart;
    *total = totalBytes.QuadPart;
    *free = freeBytes.QuadPart;
    return __std_win_error::_Success;
}

} // extern "C"
