// Helper process of the save tests: saves a configuration file over and over
// until it is killed.
//   fault_save_child PATH
// Version n has the author "child n"; after the first save it prints
// "saved" on standard output.
#include "core/files/File.h"
#include "core/link/IDData.h"
#include "core/state/PageRegistry.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fault_save_child PATH\n");
        return 2;
    }
    IDData table;
    if (!table.LoadCatalogue(QStringLiteral(QVS_BIN_DIR "/res/ini/Ramlist.ini")).empty()) {
        std::fprintf(stderr, "fault_save_child: %s\n", table.LastLoadDetail().c_str());
        return 1;
    }
    PageKeys configure{10, 11, 0}, info{10000, 10001, 0};
    PageRegistry pages;
    pages.Add(&configure);
    pages.Add(&info);
    const QString path = QString::fromLocal8Bit(argv[1]);
    for (long n = 1;; ++n) {
        InfoBlock block;
        block.Author = QStringLiteral("child %1").arg(n);
        try {
            ConfigFile::SaveConfiguration(path, table, pages, block);
        } catch (const FileError& e) {
            std::fprintf(stderr, "fault_save_child: %s\n", e.what());
            return 1;
        }
        if (n == 1) {
            std::puts("saved");
            std::fflush(stdout);
        }
    }
}
