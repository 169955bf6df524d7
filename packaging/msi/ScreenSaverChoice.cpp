// The installer's two custom actions around the installing user's screensaver setting
// (HKCU\Control Panel\Desktop): one makes the installed Quellmoor.scr the chosen screensaver, the
// other takes that choice back on removal, but only while it still names this file, so a user
// who has since picked another screensaver keeps it. Both run deferred and impersonated, and get
// the installed file's full path as their CustomActionData.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

namespace {

constexpr const wchar_t* QUELLMOOR_DESKTOP_KEY = L"Control Panel\\Desktop";
constexpr const wchar_t* QUELLMOOR_SCREENSAVER_VALUE = L"SCRNSAVE.EXE";
constexpr const wchar_t* QUELLMOOR_ACTIVE_VALUE = L"ScreenSaveActive";

// The deferred action's data: the installed file's path; empty when there is none.
std::wstring actionData(MSIHANDLE install) {
    wchar_t none[1] = L"";
    DWORD length = 0;
    if (MsiGetPropertyW(install, L"CustomActionData", none, &length) != ERROR_MORE_DATA) {
        return {};
    }
    std::wstring data(length + 1, L'\0');
    length += 1;
    if (MsiGetPropertyW(install, L"CustomActionData", &data[0], &length) != ERROR_SUCCESS) {
        return {};
    }
    data.resize(length);
    return data;
}

// Writes a line to the installer's log (msiexec /l*v).
void logLine(MSIHANDLE install, const std::wstring& text) {
    MSIHANDLE record = MsiCreateRecord(0);
    MsiRecordSetStringW(record, 0, (L"Quellmoor: " + text).c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
    MsiCloseHandle(record);
}

// The user's desktop settings key; in a service's impersonating thread HKEY_CURRENT_USER may
// still be the service's own hive, RegOpenCurrentUser is the impersonated user's.
HKEY openDesktopKey(REGSAM access) {
    HKEY user = nullptr;
    if (RegOpenCurrentUser(access, &user) != ERROR_SUCCESS) {
        return nullptr;
    }
    HKEY desktop = nullptr;
    LONG status = RegOpenKeyExW(user, QUELLMOOR_DESKTOP_KEY, 0, access, &desktop);
    RegCloseKey(user);
    return status == ERROR_SUCCESS ? desktop : nullptr;
}

bool setString(HKEY key, const wchar_t* name, const std::wstring& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          bytes) == ERROR_SUCCESS;
}

// The string value NAME; empty when it is missing, not a string or unreasonably long.
std::wstring readString(HKEY key, const wchar_t* name) {
    wchar_t value[MAX_PATH * 2] = L"";
    DWORD type = 0;
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    value[bytes / sizeof(wchar_t)] = L'\0';
    return value;
}

// The long form of PATH when the file exists; the screensaver settings may store the short
// (8.3) form of the same file.
std::wstring longForm(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetLongPathNameW(path.c_str(), buffer, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : path;
}

bool samePath(const std::wstring& a, const std::wstring& b) {
    return !a.empty() && CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

// Makes the installed screensaver the user's choice and turns the screensaver on.
extern "C" __declspec(dllexport) UINT __stdcall ChooseScreenSaver(MSIHANDLE install) {
    const std::wstring path = actionData(install);
    HKEY desktop = path.empty() ? nullptr : openDesktopKey(KEY_SET_VALUE);
    if (desktop == nullptr) {
        logLine(install, L"cannot open the user's desktop settings");
        return ERROR_INSTALL_FAILURE;
    }
    const bool written = setString(desktop, QUELLMOOR_SCREENSAVER_VALUE, path) &&
                         setString(desktop, QUELLMOOR_ACTIVE_VALUE, L"1");
    RegCloseKey(desktop);
    logLine(install, written ? L"chosen as the screensaver: " + path
                             : L"cannot write the screensaver setting");
    return written ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

// Removes the screensaver setting while it names the installed file (long or short form), so
// that no screensaver is left chosen; any other choice stays as it is.
extern "C" __declspec(dllexport) UINT __stdcall ReleaseScreenSaver(MSIHANDLE install) {
    const std::wstring path = actionData(install);
    HKEY desktop = path.empty() ? nullptr : openDesktopKey(KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (desktop == nullptr) {
        // Removal goes on: a missing setting has nothing to take back.
        logLine(install, L"cannot open the user's desktop settings; left alone");
        return ERROR_SUCCESS;
    }
    const std::wstring chosen = readString(desktop, QUELLMOOR_SCREENSAVER_VALUE);
    if (samePath(chosen, path) || samePath(longForm(chosen), longForm(path))) {
        RegDeleteValueW(desktop, QUELLMOOR_SCREENSAVER_VALUE);
        RegDeleteValueW(desktop, QUELLMOOR_ACTIVE_VALUE);
        logLine(install, L"screensaver setting removed");
    } else {
        logLine(install, L"the screensaver setting names another program; left alone");
    }
    RegCloseKey(desktop);
    return ERROR_SUCCESS;
}
