// The installer's custom action that gives Quellmoor's uninstall entry its size, the EstimatedSize
// value (kilobytes) that Settings > Apps shows: Windows Installer under Wine writes 0 there. It
// runs deferred, as the system (the machine's entries are not the user's to write), once the
// entry exists, and gets the installed files' full paths, separated by '|', as its
// CustomActionData. The entry is looked up in the registry view of the process, which is the one
// the installer uses for a package of the same architecture.
#include "ActionSupport.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr const wchar_t* QUELLMOOR_UNINSTALL_KEY =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The total size in bytes of the files named in PATHS; false when one cannot be read.
bool totalSize(const std::wstring& paths, std::uint64_t& total) {
    total = 0;
    std::size_t start = 0;
    while (start <= paths.size()) {
        const std::size_t end = std::min(paths.find(L'|', start), paths.size());
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (!GetFileAttributesExW(paths.substr(start, end - start).c_str(), GetFileExInfoStandard,
                                  &attributes)) {
            return false;
        }
        total += (std::uint64_t{attributes.nFileSizeHigh} << 32) | attributes.nFileSizeLow;
        start = end + 1;
    }
    return true;
}

} // namespace

// Writes the installed files' total, in kilobytes rounded up, as the entry's EstimatedSize. A size
// that cannot be found or written is logged and leaves the installation to go on.
extern "C" __declspec(dllexport) UINT __stdcall PublishSize(MSIHANDLE install) {
    const std::wstring product = installProperty(install, L"ProductCode");
    std::uint64_t bytes = 0;
    if (product.empty() || !totalSize(installProperty(install, L"CustomActionData"), bytes)) {
        logLine(install, L"cannot find the installed size; the entry shows none");
        return ERROR_SUCCESS;
    }
    const auto kilobytes =
        static_cast<DWORD>(std::min<std::uint64_t>((bytes + 1023) / 1024, MAXDWORD));
    HKEY entry = nullptr;
    const bool written =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, (QUELLMOOR_UNINSTALL_KEY + product).c_str(), 0,
                      KEY_SET_VALUE, &entry) == ERROR_SUCCESS &&
        RegSetValueExW(entry, L"EstimatedSize", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&kilobytes),
                       sizeof(kilobytes)) == ERROR_SUCCESS;
    if (entry != nullptr) {
        RegCloseKey(entry);
    }
    logLine(install, written ? L"installed size: " + std::to_wstring(kilobytes) + L" KB"
                             : L"cannot write the uninstall entry's size");
    return ERROR_SUCCESS;
}
