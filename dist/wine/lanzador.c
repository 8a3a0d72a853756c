/*
 * PuenteHoralisZelta.exe for Horalis under Wine.
 *
 * Horalis, a Windows program, starts "PuenteHoralisZelta.exe exportar X" (or
 * "importar X") from its own folder, waits for it, and then reads the outcome
 * from Horalis.ini in that folder. Under Wine the converter is the Linux
 * program PuenteHoralisZelta; this small Windows program, put beside it in
 * Horalis's folder under the name PuenteHoralisZelta.exe, stands in for it:
 * it starts the Linux program that lies beside it with the same parameters,
 * waits until it ends, and ends with its exit status. The Linux program
 * writes Horalis.ini beside itself, that is, in Horalis's folder.
 *
 * Wine starts a Linux program when asked to start a file that is not a
 * Windows program, but gives back no process to wait on; so the Linux program
 * is started through /bin/sh, which writes its exit status into a marker
 * file in the temporary folder once it has ended, and this program waits for
 * that file. When WINEPREFIX is not set, the shell sets it to the prefix of
 * the C: drive, so that the Linux program finds the C:\HTEMP of this prefix.
 *
 * Built with MinGW-w64 (x86_64-w64-mingw32-gcc -municode -mwindows), no C
 * runtime beyond the system's. Outside Wine it says so and ends with 1.
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

typedef char* (CDECL* UnixNameFunction)(LPCWSTR);
typedef WCHAR* (CDECL* DosNameFunction)(LPCSTR);

static const WCHAR kTitle[] = L"PuenteHoralisZelta";
static const WCHAR kLinuxProgram[] = L"PuenteHoralisZelta";

/* The shell's part: $0 a name for its messages, $1 the marker, $2 the
   program, $3 the C: drive, then the program's parameters. */
static const char kScript[] =
    "mark=$1; prog=$2; cdrive=$3; shift 3; "
    "if [ -z \"${WINEPREFIX:-}\" ]; then WINEPREFIX=$(cd -P \"$cdrive\" && cd .. && pwd) && export WINEPREFIX; fi; "
    "\"$prog\" \"$@\"; status=$?; "
    "echo \"$status\" > \"$mark.tmp\" && mv -f \"$mark.tmp\" \"$mark\"";

static int Fail(const WCHAR* text, const WCHAR* detail) {
    WCHAR message[2048];
    _snwprintf(message, sizeof message / sizeof message[0] - 1, L"%ls%ls%ls", text, detail ? L"\n\n" : L"",
               detail ? detail : L"");
    message[sizeof message / sizeof message[0] - 1] = 0;
    if (!GetEnvironmentVariableW(L"PUENTE_LANZADOR_SIN_VENTANAS", NULL, 0))
        MessageBoxW(NULL, message, kTitle, MB_OK | MB_ICONERROR);
    fwprintf(stderr, L"%ls\n", message);
    return 1;
}

/* Appends `arg` to `line` quoted as CommandLineToArgvW and Wine read it. */
static void AppendQuoted(WCHAR* line, size_t size, const WCHAR* arg) {
    size_t n = wcslen(line);
    if (n && n + 1 < size) line[n++] = L' ';
    if (n + 1 < size) line[n++] = L'"';
    for (const WCHAR* p = arg;; ++p) {
        size_t backslashes = 0;
        while (*p == L'\\') {
            ++backslashes;
            ++p;
        }
        size_t copies = *p == 0 ? backslashes * 2 : *p == L'"' ? backslashes * 2 + 1 : backslashes;
        for (size_t i = 0; i < copies && n + 1 < size; ++i) line[n++] = L'\\';
        if (*p == 0) break;
        if (n + 1 < size) line[n++] = *p;
    }
    if (n + 1 < size) line[n++] = L'"';
    line[n] = 0;
}

static WCHAR* Widen(const char* text) {
    int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, NULL, 0);
    WCHAR* wide = (WCHAR*)calloc((size_t)(n > 0 ? n : 1), sizeof(WCHAR));
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, n);
    return wide;
}

int wmain(int argc, WCHAR** argv) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    UnixNameFunction unixName = (UnixNameFunction)(void*)GetProcAddress(kernel, "wine_get_unix_file_name");
    DosNameFunction dosName = (DosNameFunction)(void*)GetProcAddress(kernel, "wine_get_dos_file_name");
    if (!unixName || !dosName)
        return Fail(L"Este PuenteHoralisZelta.exe solo sirve bajo Wine, para arrancar el programa de Linux. "
                    L"En Windows use el PuenteHoralisZelta.exe del instalador de Windows.", NULL);

    /* The Linux program, beside this one. */
    WCHAR self[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(NULL, self, MAX_PATH * 4);
    if (!length || length >= MAX_PATH * 4) return Fail(L"No se puede saber dónde está este programa.", NULL);
    WCHAR* slash = wcsrchr(self, L'\\');
    if (!slash) return Fail(L"No se puede saber dónde está este programa.", self);
    slash[1] = 0;
    WCHAR program[MAX_PATH * 4];
    _snwprintf(program, MAX_PATH * 4, L"%ls%ls", self, kLinuxProgram);
    program[MAX_PATH * 4 - 1] = 0;
    DWORD attributes = GetFileAttributesW(program);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Fail(L"No se encuentra el programa de Linux PuenteHoralisZelta junto a este. Cópielo (no lo enlace) "
                    L"a esta carpeta:",
                    program);

    /* The marker, in the temporary folder. */
    WCHAR temp[MAX_PATH], mark[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, temp) || !GetTempFileNameW(temp, L"phz", 0, mark))
        return Fail(L"No se puede crear un archivo en la carpeta temporal.", temp);
    DeleteFileW(mark); /* the shell creates it when the program has ended */

    char* unixProgram = unixName(program);
    char* unixMark = unixName(mark);
    char* unixDrive = unixName(L"C:\\");
    WCHAR* shell = dosName("/bin/sh");
    if (!unixProgram || !unixMark || !unixDrive || !shell)
        return Fail(L"Wine no da la ruta de Linux de los archivos que se necesitan.", program);

    size_t size = 32768;
    WCHAR* line = (WCHAR*)calloc(size, sizeof(WCHAR));
    WCHAR* script = Widen(kScript);
    WCHAR* wideProgram = Widen(unixProgram);
    WCHAR* wideMark = Widen(unixMark);
    WCHAR* wideDrive = Widen(unixDrive);
    AppendQuoted(line, size, L"sh");
    AppendQuoted(line, size, L"-c");
    AppendQuoted(line, size, script);
    AppendQuoted(line, size, L"PuenteHoralisZelta.exe"); /* $0 */
    AppendQuoted(line, size, wideMark);
    AppendQuoted(line, size, wideProgram);
    AppendQuoted(line, size, wideDrive);
    for (int i = 1; i < argc; ++i) AppendQuoted(line, size, argv[i]);

    STARTUPINFOW startup;
    PROCESS_INFORMATION process;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    memset(&process, 0, sizeof process);
    if (!CreateProcessW(shell, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return Fail(L"No se pudo arrancar el programa de Linux:", program);
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);

    /* Wine gives no process to wait on: wait for the marker. */
    for (;;) {
        HANDLE file = CreateFileW(mark, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            char text[32] = {0};
            DWORD read = 0;
            ReadFile(file, text, sizeof text - 1, &read, NULL);
            CloseHandle(file);
            DeleteFileW(mark);
            return atoi(text);
        }
        Sleep(100);
    }
}
