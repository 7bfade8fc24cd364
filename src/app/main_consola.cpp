// rp_oproduccion.com, the console companion of the Windows build.
// rp_oproduccion.exe is a window program, so that the desktop opens no console
// beside its window; but cmd.exe does not wait for a window program typed at
// its prompt: it would show the prompt again at once and lose the exit code.
// cmd.exe, and any script that names the program without an extension, takes
// the .com before the .exe: this runs the .exe beside it with the same
// arguments and standard streams, waits for it and ends with its code. The
// .exe takes this same console (attachToParentConsole), so Ctrl+C, Ctrl+Break
// and closing the console reach it as they reach this; here they must only not
// end the wait. No Qt and no C++ run-time DLL: it is linked whole.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

HANDLE Exe = nullptr;

// The console's events are the .exe's to answer: this keeps waiting for it.
// Closing the console or the session ends this process when the handler
// returns, and with it (the job below) the .exe: not before the .exe has
// removed its temporaries and ended by itself.
BOOL WINAPI seguirEsperando(DWORD evento)
{
    if (evento != CTRL_C_EVENT && evento != CTRL_BREAK_EVENT && Exe)
        WaitForSingleObject(Exe, INFINITE);
    return TRUE;
}

// What follows the program's own name on the command line, untouched: the
// .exe splits it as this program would have.
const wchar_t* argumentos(const wchar_t* linea)
{
    // The program's name ends at the closing quote when it opens with one,
    // otherwise at the first blank, as the C library reads it.
    if (*linea == L'"') {
        ++linea;
        while (*linea && *linea != L'"')
            ++linea;
        if (*linea)
            ++linea;
    } else {
        while (*linea && *linea != L' ' && *linea != L'\t')
            ++linea;
    }
    while (*linea == L' ' || *linea == L'\t')
        ++linea;
    return linea;
}

void decir(const std::wstring& texto)
{
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD escritos = 0, modo = 0;
    if (GetConsoleMode(error, &modo)) {
        WriteConsoleW(error, texto.data(), DWORD(texto.size()), &escritos, nullptr);
        return;
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, texto.data(), int(texto.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string utf8(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, texto.data(), int(texto.size()), utf8.data(), n, nullptr,
                        nullptr);
    WriteFile(error, utf8.data(), DWORD(utf8.size()), &escritos, nullptr);
}

// A standard handle as the child's, inheritable; null when there is none.
HANDLE heredable(DWORD cual)
{
    const HANDLE propio = GetStdHandle(cual);
    HANDLE copia = nullptr;
    if (!propio || propio == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), propio, GetCurrentProcess(), &copia, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copia;
}

} // namespace

int main()
{
    std::wstring exe(MAX_PATH, L'\0');
    DWORD largo;
    while ((largo = GetModuleFileNameW(nullptr, exe.data(), DWORD(exe.size()))) == exe.size())
        exe.resize(exe.size() * 2);
    exe.resize(largo);
    exe.replace(exe.rfind(L'.'), std::wstring::npos, L".exe");

    std::wstring linea = L"\"" + exe + L"\" " + argumentos(GetCommandLineW());
    STARTUPINFOW inicio{};
    inicio.cb = sizeof inicio;
    inicio.dwFlags = STARTF_USESTDHANDLES;
    inicio.hStdInput = heredable(STD_INPUT_HANDLE);
    inicio.hStdOutput = heredable(STD_OUTPUT_HANDLE);
    inicio.hStdError = heredable(STD_ERROR_HANDLE);
    // A script that gives up on this program and kills it ends the .exe too,
    // as it would have ended a console program; what the .exe starts itself
    // (the spreadsheet it opens a workbook in) stays out of that.
    const HANDLE trabajo = CreateJobObjectW(nullptr, nullptr);
    if (trabajo) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limites{};
        limites.BasicLimitInformation.LimitFlags =
            JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
        SetInformationJobObject(trabajo, JobObjectExtendedLimitInformation, &limites,
                                sizeof limites);
    }
    PROCESS_INFORMATION proceso{};
    if (!CreateProcessW(exe.c_str(), linea.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                        nullptr, nullptr, &inicio, &proceso)) {
        const DWORD causa = GetLastError();
        wchar_t* texto = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, causa, 0, reinterpret_cast<wchar_t*>(&texto), 0, nullptr);
        std::wstring porque = texto ? texto : L"";
        LocalFree(texto);
        while (!porque.empty() && (porque.back() == L'\n' || porque.back() == L'\r'))
            porque.pop_back();
        decir(L"rp_oproduccion: no se pudo iniciar \"" + exe + L"\": " + porque + L" (error " +
              std::to_wstring(causa) + L" del sistema)\r\n");
        return 1;
    }
    // Where jobs cannot nest (before Windows 8) the .exe runs outside one.
    if (trabajo)
        AssignProcessToJobObject(trabajo, proceso.hProcess);
    Exe = proceso.hProcess;
    SetConsoleCtrlHandler(seguirEsperando, TRUE);
    ResumeThread(proceso.hThread);
    CloseHandle(proceso.hThread);
    WaitForSingleObject(proceso.hProcess, INFINITE);
    DWORD codigo = 1;
    GetExitCodeProcess(proceso.hProcess, &codigo);
    // By ExitProcess, so a code above 255 (0xC000013A after Ctrl+C) reaches
    // the caller whole.
    ExitProcess(codigo);
}
