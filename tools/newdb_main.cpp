// nyilvex-newdb FOLDER [--sample] [--data DATAFOLDER]
//
// Makes FOLDER a new, ready Nyilvex database. DATAFOLDER (default: the
// folder the build copied the reference data to) holds nevnap.csv and
// irsz.csv.
#include <cstdio>
#include <cstring>
#include <string>

#include "NewDatabase.h"

int main(int argc, char** argv)
{
    std::string folder;
    std::string data = NYILVEX_DATA_DIR;
    bool sample = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sample") == 0)
            sample = true;
        else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc)
            data = argv[++i];
        else if (folder.empty() && argv[i][0] != '-')
            folder = argv[i];
        else {
            folder.clear();
            break;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "Használat: nyilvex-newdb MAPPA [--sample] [--data ADATMAPPA]\n");
        return 2;
    }
    engine::Status s = newdb::createDatabase(folder, data, sample);
    if (!s.isOk()) {
        std::fprintf(stderr, "Hiba: %s\n", s.message().c_str());
        return 1;
    }
    return 0;
}
