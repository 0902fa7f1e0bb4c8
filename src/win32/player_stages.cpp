// CopyShippedStages: each missing stage written to a new temporary file and moved into a free name.
#include "win32/player_stages.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <vector>

#include "game/data_files.h"
#include "win32/wide_text.h"

namespace {
constexpr DWORD stageReadCap = 1 << 20;  // far above a stage file; anything longer is no stage to copy
constexpr int32_t temporaryNameTries = 100;
constexpr int32_t stageNameLength = 16;

std::wstring StageName(int32_t stage)
{
    char name[stageNameLength];
    std::snprintf(name, sizeof name, stageFileNameFormat, stage);
    return WideText(name, CP_ACP);
}

std::string Complaint(const std::wstring& path, const char* what, DWORD error)
{
    return Utf8Text(path) + ": " + what + " (Windows error " + std::to_string(error) + ")";
}

bool ReadWhole(const std::wstring& path, std::vector<char>& bytes, std::string& reason)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = Complaint(path, "cannot be read", GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    DWORD count = 0;
    DWORD error = ERROR_SUCCESS;
    if (GetFileSizeEx(file, &size) == 0) {
        error = GetLastError();
    } else if (size.QuadPart > stageReadCap) {
        error = ERROR_FILE_TOO_LARGE;
    } else {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        if (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) == 0) {
            error = GetLastError();
        } else if (count != bytes.size()) {
            error = ERROR_HANDLE_EOF;
        }
    }
    CloseHandle(file);
    if (error != ERROR_SUCCESS) reason = Complaint(path, "cannot be read whole", error);
    return error == ERROR_SUCCESS;
}

// A new file of a name no one has, in the directory; its name on success.
HANDLE CreateTemporary(const std::wstring& directory, const std::wstring& name, std::wstring& temporary)
{
    for (int32_t attempt = 0; attempt < temporaryNameTries; ++attempt) {
        temporary = JoinPath(directory, L"." + name + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                                            std::to_wstring(attempt) + L".tmp");
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Leaves target as it is when anything of its name exists, also when it appears meanwhile.
bool CopyStage(const std::wstring& source, const std::wstring& directory, const std::wstring& name,
               std::string& reason)
{
    std::wstring target = JoinPath(directory, name);
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) return true;  // links are not followed
    std::vector<char> bytes;
    if (!ReadWhole(source, bytes, reason)) return false;
    std::wstring temporary;
    HANDLE file = CreateTemporary(directory, name, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        reason = Complaint(target, "cannot be written", GetLastError());
        return false;
    }
    DWORD written = 0;
    bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
                 written == bytes.size() && FlushFileBuffers(file) != 0;
    DWORD error = whole ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (whole) {
        if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0) return true;
        error = GetLastError();
    }
    DeleteFileW(temporary.c_str());
    // The player's own file took the name meanwhile: it stays.
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return true;
    reason = Complaint(target, "cannot be written", error);
    return false;
}
}  // namespace

// Each stage is read whole (capped), written to a new file of a unique name
// beside its place and moved into a name that does not exist: a player's file
// or link of that name is never replaced, followed or half written.
bool CopyShippedStages(const std::wstring& shipped, const std::wstring& player, std::string& reason)
{
    int made = SHCreateDirectoryExW(nullptr, player.c_str(), nullptr);
    DWORD attributes = GetFileAttributesW(player.c_str());
    if ((made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS) || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        reason = Utf8Text(player) + ": cannot make the directory (Windows error " + std::to_string(made) + ")";
        return false;
    }
    bool all = true;
    for (int32_t stage = 0; stage < stageCount; ++stage) {
        std::wstring name = StageName(stage);
        std::string failed;
        if (!CopyStage(JoinPath(shipped, name), player, name, failed)) {
            if (all) reason = failed;
            all = false;
        }
    }
    return all;
}
