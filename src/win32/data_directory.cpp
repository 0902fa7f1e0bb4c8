// ChooseDataDirectory decides from three places; EnterDataDirectory finds them, fills the player's and moves there.
#include "win32/data_directory.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>

#include "win32/player_stages.h"
#include "win32/wide_text.h"

namespace {
constexpr wchar_t firstStage[] = L"st0.dat";
constexpr wchar_t localAppDataVariable[] = L"LOCALAPPDATA";
constexpr DWORD longestModulePath = 32768;

bool HasFirstStage(const std::wstring& directory)
{
    DWORD attributes = GetFileAttributesW(JoinPath(directory, firstStage).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring CurrentDirectory()
{
    DWORD length = GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return {};
    std::wstring directory(length, L'\0');
    length = GetCurrentDirectoryW(length, directory.data());
    directory.resize(length < directory.size() ? length : 0);
    return directory;
}

std::wstring ProgramDirectory()
{
    std::wstring path(longestModulePath, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), longestModulePath);
    if (length == 0 || length >= longestModulePath) return {};
    path.resize(length);
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// The known folder, or where the environment says it is.
std::wstring LocalAppData()
{
    PWSTR known = nullptr;
    std::wstring directory;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &known) == S_OK) directory = known;
    CoTaskMemFree(known);
    if (directory.empty()) {
        const wchar_t* variable = _wgetenv(localAppDataVariable);
        if (variable != nullptr) directory = variable;
    }
    return directory;
}
}  // namespace

std::wstring ChooseDataDirectory(const DataDirectories& places)
{
    if (HasFirstStage(places.working)) return places.working;
    if (!places.localAppData.empty() && !places.program.empty() &&
        HasFirstStage(JoinPath(places.program, shippedStagesFolder))) {
        return JoinPath(places.localAppData, playerFolder);
    }
    return places.working;
}

void EnterDataDirectory()
{
    DataDirectories places{CurrentDirectory(), ProgramDirectory(), LocalAppData()};
    std::wstring chosen = ChooseDataDirectory(places);
    if (chosen == places.working) return;
    std::string reason;
    if (!CopyShippedStages(JoinPath(places.program, shippedStagesFolder), chosen, reason)) {
        std::fprintf(stderr, "tessera: %s\n", reason.c_str());
    }
    if (SetCurrentDirectoryW(chosen.c_str()) == 0) {
        std::fprintf(stderr, "tessera: %s: cannot run there (Windows error %lu)\n", Utf8Text(chosen).c_str(),
                     GetLastError());
    }
}
