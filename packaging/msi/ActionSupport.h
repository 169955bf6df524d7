// What the installer's custom actions share: reading a property of the running installation
// (a deferred action sees only CustomActionData, ProductCode and UserSID) and writing a line to
// the installer's log (msiexec /l*v).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

// The property NAME; empty when it is not set.
inline std::wstring installProperty(MSIHANDLE install, const wchar_t* name) {
    wchar_t none[1] = L"";
    DWORD length = 0;
    if (MsiGetPropertyW(install, name, none, &length) != ERROR_MORE_DATA) {
        return {};
    }
    std::wstring value(length + 1, L'\0');
    length += 1;
    if (MsiGetPropertyW(install, name, &value[0], &length) != ERROR_SUCCESS) {
        return {};
    }
    value.resize(length);
    return value;
}

inline void logLine(MSIHANDLE install, const std::wstring& text) {
    MSIHANDLE record = MsiCreateRecord(0);
    MsiRecordSetStringW(record, 0, (L"Quellmoor: " + text).c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
    MsiCloseHandle(record);
}
