// What stands in for libFuzzer in the everyday build: the target's oracle run
// once on every file named (a folder: every file in it, by name), so the
// inputs kept in fuzz/corpus/ are checked by ctest with the ordinary compiler.
// The oracle ends the process on a broken promise, as under libFuzzer; on the
// way out this names the input that showed it.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tam);
// Defined only by the targets that need set-up first (an application object).
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);
// Present only in a build with the sanitizers, which end the process without
// a signal.
extern "C" __attribute__((weak)) void __sanitizer_set_death_callback(void (*)(void));

namespace {

// Kept where the handler can write it from without allocating.
char enCurso[4096];

void escribir(const char* texto)
{
    const ssize_t escritos = write(STDERR_FILENO, texto, std::strlen(texto));
    (void)escritos;
}

void nombrarEntrada()
{
    escribir("\n*** con la entrada: ");
    escribir(enCurso);
    escribir("\n");
}

void alCaer(int senal)
{
    nombrarEntrada();
    // The handler was reset on entry: the signal ends the process as it would have.
    std::raise(senal);
}

bool leer(const std::filesystem::path& archivo, std::string& datos)
{
    std::ifstream in(archivo, std::ios::binary);
    if (!in)
        return false;
    datos.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    const std::string nombre = fs::path(argv[0]).filename().string();
    const char* programa = nombre.c_str();
    if (argc < 2) {
        std::fprintf(stderr, "Uso: %s ARCHIVO|CARPETA...\n", programa);
        return 2;
    }
    std::vector<fs::path> entradas;
    for (int i = 1; i < argc; ++i) {
        std::error_code e;
        if (!fs::is_directory(argv[i], e)) {
            entradas.emplace_back(argv[i]);
            continue;
        }
        std::vector<fs::path> carpeta;
        for (const fs::directory_entry& d : fs::directory_iterator(argv[i], e))
            if (d.is_regular_file())
                carpeta.push_back(d.path());
        if (e) {
            std::fprintf(stderr, "%s: no se pudo leer la carpeta %s: %s\n", programa, argv[i],
                         e.message().c_str());
            return 1;
        }
        std::sort(carpeta.begin(), carpeta.end());
        entradas.insert(entradas.end(), carpeta.begin(), carpeta.end());
    }
    // An empty corpus would pass without checking anything.
    if (entradas.empty()) {
        std::fprintf(stderr, "%s: no hay ninguna entrada que probar\n", programa);
        return 1;
    }

    struct sigaction accion = {};
    accion.sa_handler = alCaer;
    accion.sa_flags = SA_RESETHAND;
    sigemptyset(&accion.sa_mask);
    for (const int senal : {SIGABRT, SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP})
        sigaction(senal, &accion, nullptr);
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback(nombrarEntrada);
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);

    for (const fs::path& entrada : entradas) {
        std::string datos;
        if (!leer(entrada, datos)) {
            std::fprintf(stderr, "%s: no se pudo leer %s: %s\n", programa, entrada.c_str(),
                         std::strerror(errno));
            return 1;
        }
        std::snprintf(enCurso, sizeof enCurso, "%s", entrada.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(datos.data()), datos.size());
    }
    std::printf("%s: %zu %s, ninguna falla\n", programa, entradas.size(),
                entradas.size() == 1 ? "entrada" : "entradas");
    return 0;
}
