#include "platform/SystemErrors.h"

#include <cerrno>
#include <cstring>
#include <initializer_list>

#ifdef _WIN32
#include "platform/win32/Files.h"

#include <windows.h>
#endif

namespace puente {

QString ErrnoText(int code) {
    switch (code) {
    case ENOENT: return QStringLiteral("no existe el archivo o el directorio");
    case EACCES:
    case EPERM: return QStringLiteral("permiso denegado");
    case EROFS: return QStringLiteral("el sistema de archivos es de solo lectura");
    case ENOSPC: return QStringLiteral("no queda espacio en el disco");
#ifdef EDQUOT
    case EDQUOT: return QStringLiteral("se ha superado la cuota de disco");
#endif
    case EFBIG: return QStringLiteral("el archivo supera el tamaño máximo permitido");
    case EIO: return QStringLiteral("error de entrada/salida del dispositivo");
    case EAGAIN: return QStringLiteral("el archivo está bloqueado por otro programa");
    case EISDIR: return QStringLiteral("es un directorio");
    case ENOTDIR: return QStringLiteral("una parte de la ruta no es un directorio");
    case EMFILE:
    case ENFILE: return QStringLiteral("hay demasiados archivos abiertos");
    case ENOMEM: return QStringLiteral("no hay memoria suficiente");
    default: return QString::fromLocal8Bit(std::strerror(code));
    }
}

#ifndef _WIN32

QString SystemErrorText(int code) { return ErrnoText(code); }

namespace {
// The codes that ErrnoText words itself; Qt's words for any of them are
// those of qt_error_string(code).
constexpr std::initializer_list<int> kWordedCodes = {ENOENT, EACCES, EPERM,  EROFS,  ENOSPC,
#ifdef EDQUOT
                                                     EDQUOT,
#endif
                                                     EFBIG,  EIO,    EAGAIN, EISDIR, ENOTDIR, EMFILE, ENFILE, ENOMEM};
}  // namespace

#else  // _WIN32

QString SystemErrorText(int code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return QStringLiteral("no existe el archivo o el directorio");
    case ERROR_ACCESS_DENIED: return QStringLiteral("permiso denegado");
    case ERROR_WRITE_PROTECT: return QStringLiteral("el disco está protegido contra escritura");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return QStringLiteral("no queda espacio en el disco");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return QStringLiteral("el archivo está bloqueado por otro programa");
    default: break;
    }
    // The system's words come as wide text, in the user's language.
    const std::wstring words = win32::SystemMessage(static_cast<win32::ErrorCode>(code));
    return words.empty() ? QStringLiteral("error del sistema %1").arg(code) : QString::fromStdWString(words).trimmed();
}

namespace {
constexpr std::initializer_list<int> kWordedCodes = {
    ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,   ERROR_ACCESS_DENIED,     ERROR_WRITE_PROTECT,
    ERROR_DISK_FULL,      ERROR_HANDLE_DISK_FULL, ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION};
}  // namespace

#endif  // _WIN32

QString FileErrorText(const QFileDevice& file) {
    const QString words = file.errorString();
    for (const int code : kWordedCodes) {
        if (words == qt_error_string(code)) return SystemErrorText(code);
    }
    // QSaveFile's own check before it writes anything.
    if (words.startsWith(QLatin1String("Existing file ")) && words.endsWith(QLatin1String(" is not writable")))
        return SystemErrorText(
#ifdef _WIN32
            ERROR_ACCESS_DENIED
#else
            EACCES
#endif
        );
    return words;
}

}  // namespace puente
