// The installer's two custom actions around the installing user's screensaver setting
// (HKCU\Control Panel\Desktop): one makes the installed Quellmoor.scr the chosen screensaver, the
// other takes that choice back on removal, but only while it still names this file, so a user
// who has since picked another screensaver keeps it. Both run deferred and impersonated, and get
// the installed file's full path as their CustomActionData.
//
// Choosing replaces the user's screensaver (SCRNSAVE.EXE) and turns the screensaver on
// (ScreenSaveActive), so both values as found there first are recorded under the product's own
// key (HKCU\Software\Quellmoor\ScreenSaverBefore: each value copied as it was, or no value when
// there was none); taking the choice back puts exactly those back. An existing record is kept, so
// an upgrade that chooses again carries the first one over.
#include "ActionSupport.h"

#include <vector>

namespace {

constexpr const wchar_t* QUELLMOOR_DESKTOP_KEY = L"Control Panel\\Desktop";
constexpr const wchar_t* QUELLMOOR_SCREENSAVER_VALUE = L"SCRNSAVE.EXE";
constexpr const wchar_t* QUELLMOOR_ACTIVE_VALUE = L"ScreenSaveActive";
constexpr const wchar_t* QUELLMOOR_PRODUCT_KEY = L"Software\\Quellmoor";
constexpr const wchar_t* QUELLMOOR_RECORD_KEY = L"Software\\Quellmoor\\ScreenSaverBefore";
constexpr const wchar_t* QUELLMOOR_RECORDED_VALUES[] = {QUELLMOOR_SCREENSAVER_VALUE,
                                                        QUELLMOOR_ACTIVE_VALUE};

// The impersonated user's own registry hive; in a service's impersonating thread
// HKEY_CURRENT_USER may still be the service's own, RegOpenCurrentUser is the user's.
HKEY openUserKey() {
    HKEY user = nullptr;
    return RegOpenCurrentUser(KEY_READ | KEY_WRITE, &user) == ERROR_SUCCESS ? user : nullptr;
}

HKEY openKey(HKEY parent, const wchar_t* name, REGSAM access) {
    HKEY key = nullptr;
    return RegOpenKeyExW(parent, name, 0, access, &key) == ERROR_SUCCESS ? key : nullptr;
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

// Whether the screensaver SETTING names the installed file at PATH, in its long or short form.
bool namesInstalled(const std::wstring& setting, const std::wstring& path) {
    return samePath(setting, path) || samePath(longForm(setting), longForm(path));
}

// A registry value as it is stored: its type and data.
struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Reads the value NAME under KEY: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND when there is none, or
// another error.
LONG readStored(HKEY key, const wchar_t* name, StoredValue& value) {
    DWORD bytes = 0;
    LONG status = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &bytes);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    value.data.resize(bytes);
    status = RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &bytes);
    value.data.resize(bytes);
    return status;
}

bool writeStored(HKEY key, const wchar_t* name, const StoredValue& value) {
    return RegSetValueExW(key, name, 0, value.type, value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

// Drops the record, and the product's key with it when nothing else is left there.
void forgetRecord(HKEY user) {
    RegDeleteKeyW(user, QUELLMOOR_RECORD_KEY);
    HKEY product = openKey(user, QUELLMOOR_PRODUCT_KEY, KEY_QUERY_VALUE);
    if (product == nullptr) {
        return;
    }
    DWORD subkeys = 1;
    DWORD values = 1;
    const bool empty =
        RegQueryInfoKeyW(product, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys == 0 && values == 0;
    RegCloseKey(product);
    if (empty) {
        RegDeleteKeyW(user, QUELLMOOR_PRODUCT_KEY);
    }
}

// Records the screensaver and ScreenSaveActive as DESKTOP holds them, unless a record exists. A
// record that cannot be completed is dropped: without one, removal leaves ScreenSaveActive alone.
void rememberBefore(MSIHANDLE install, HKEY user, HKEY desktop) {
    HKEY record = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(user, QUELLMOOR_RECORD_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &record,
                        &disposition) != ERROR_SUCCESS) {
        logLine(install,
                L"cannot record the settings; removal will leave ScreenSaveActive as it is");
        return;
    }
    bool recorded = true;
    if (disposition != REG_OPENED_EXISTING_KEY) {
        for (const wchar_t* name : QUELLMOOR_RECORDED_VALUES) {
            StoredValue before;
            const LONG status = readStored(desktop, name, before);
            recorded = recorded && (status == ERROR_FILE_NOT_FOUND ||
                                    (status == ERROR_SUCCESS && writeStored(record, name, before)));
        }
    }
    RegCloseKey(record);
    if (!recorded) {
        forgetRecord(user);
        logLine(install,
                L"cannot record the settings; removal will leave ScreenSaveActive as it is");
    }
}

// Puts the value NAME of DESKTOP back as RECORD holds it: the recorded value, or none.
bool putBack(HKEY record, HKEY desktop, const wchar_t* name) {
    StoredValue before;
    const LONG status = readStored(record, name, before);
    if (status == ERROR_SUCCESS) {
        return writeStored(desktop, name, before);
    }
    const LONG deleted = status == ERROR_FILE_NOT_FOUND ? RegDeleteValueW(desktop, name) : status;
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

// Puts the screensaver and ScreenSaveActive back as recorded. A recorded screensaver that is this
// very file, or one that cannot be put back, leaves none chosen, as the file is going; without a
// record ScreenSaveActive stays as it is.
void restoreBefore(MSIHANDLE install, HKEY user, HKEY desktop, const std::wstring& path) {
    HKEY record = openKey(user, QUELLMOOR_RECORD_KEY, KEY_QUERY_VALUE);
    const bool screensaver =
        record != nullptr &&
        !namesInstalled(readString(record, QUELLMOOR_SCREENSAVER_VALUE), path) &&
        putBack(record, desktop, QUELLMOOR_SCREENSAVER_VALUE);
    if (!screensaver) {
        RegDeleteValueW(desktop, QUELLMOOR_SCREENSAVER_VALUE);
    }
    if (record == nullptr) {
        logLine(install, L"no record of the settings before the install; none chosen, "
                         L"ScreenSaveActive left as it is");
        return;
    }
    const bool active = putBack(record, desktop, QUELLMOOR_ACTIVE_VALUE);
    RegCloseKey(record);
    logLine(install, screensaver ? L"screensaver setting put back as it was before the install"
                                 : L"no screensaver left chosen");
    logLine(install, active ? L"ScreenSaveActive put back as it was before the install"
                            : L"cannot put ScreenSaveActive back");
}

} // namespace

// Makes the installed screensaver the user's choice and turns the screensaver on, first recording
// how both were.
extern "C" __declspec(dllexport) UINT __stdcall ChooseScreenSaver(MSIHANDLE install) {
    const std::wstring path = installProperty(install, L"CustomActionData");
    HKEY user = path.empty() ? nullptr : openUserKey();
    HKEY desktop = user == nullptr
                       ? nullptr
                       : openKey(user, QUELLMOOR_DESKTOP_KEY, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (desktop == nullptr) {
        if (user != nullptr) {
            RegCloseKey(user);
        }
        logLine(install, L"cannot open the user's desktop settings");
        return ERROR_INSTALL_FAILURE;
    }
    rememberBefore(install, user, desktop);
    const bool written = setString(desktop, QUELLMOOR_SCREENSAVER_VALUE, path) &&
                         setString(desktop, QUELLMOOR_ACTIVE_VALUE, L"1");
    RegCloseKey(desktop);
    RegCloseKey(user);
    logLine(install, written ? L"chosen as the screensaver: " + path
                             : L"cannot write the screensaver setting");
    return written ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

// Puts the screensaver setting and ScreenSaveActive back as they were before the install while the
// setting names the installed file (long or short form); any other choice stays as it is. The
// record goes either way.
extern "C" __declspec(dllexport) UINT __stdcall ReleaseScreenSaver(MSIHANDLE install) {
    const std::wstring path = installProperty(install, L"CustomActionData");
    HKEY user = path.empty() ? nullptr : openUserKey();
    if (user == nullptr) {
        // Removal goes on: a missing setting has nothing to take back.
        logLine(install, L"cannot open the user's settings; left alone");
        return ERROR_SUCCESS;
    }
    HKEY desktop = openKey(user, QUELLMOOR_DESKTOP_KEY, KEY_QUERY_VALUE | KEY_SET_VALUE);
    const std::wstring chosen =
        desktop == nullptr ? std::wstring() : readString(desktop, QUELLMOOR_SCREENSAVER_VALUE);
    if (namesInstalled(chosen, path)) {
        restoreBefore(install, user, desktop, path);
    } else {
        logLine(install, L"the screensaver setting names another program; left alone");
    }
    if (desktop != nullptr) {
        RegCloseKey(desktop);
    }
    forgetRecord(user);
    RegCloseKey(user);
    return ERROR_SUCCESS;
}
