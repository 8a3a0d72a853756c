/*
 * A stand-in for Horalis, for the test of the Wine starter: it does what
 * Horalis does around the converter. It starts "PuenteHoralisZelta.exe" from
 * its own folder with its own parameters (CreateProcessW), waits for it
 * (WaitForSingleObject), and then reads the outcome from Horalis.ini in its
 * own folder (GetPrivateProfileIntW, section Transformadores, key
 * Transformado). It prints "salida=N transformado=M" (M is "ninguno" when
 * the key is not there) and ends with 0, or with 1 when the converter could
 * not be started.
 */
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

int wmain(int argc, WCHAR** argv) {
    WCHAR folder[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(NULL, folder, MAX_PATH * 4);
    if (!length || length >= MAX_PATH * 4) return 1;
    WCHAR* slash = wcsrchr(folder, L'\\');
    if (!slash) return 1;
    slash[1] = 0;

    WCHAR converter[MAX_PATH * 4], ini[MAX_PATH * 4];
    _snwprintf(converter, MAX_PATH * 4, L"%lsPuenteHoralisZelta.exe", folder);
    _snwprintf(ini, MAX_PATH * 4, L"%lsHoralis.ini", folder);
    converter[MAX_PATH * 4 - 1] = ini[MAX_PATH * 4 - 1] = 0;

    WCHAR line[8192];
    _snwprintf(line, 8192, L"\"%ls\"", converter);
    line[8191] = 0;
    for (int i = 1; i < argc; ++i) {
        wcsncat(line, L" \"", 8191 - wcslen(line));
        wcsncat(line, argv[i], 8191 - wcslen(line));
        wcsncat(line, L"\"", 8191 - wcslen(line));
    }

    STARTUPINFOW startup;
    PROCESS_INFORMATION process;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessW(converter, line, NULL, NULL, FALSE, 0, NULL, folder, &startup, &process)) {
        printf("no se pudo arrancar: error %lu\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const int missing = -12345;
    int outcome = (int)GetPrivateProfileIntW(L"Transformadores", L"Transformado", missing, ini);
    if (outcome == missing)
        printf("salida=%lu transformado=ninguno\n", status);
    else
        printf("salida=%lu transformado=%d\n", status, outcome);
    fflush(stdout);
    return 0;
}
