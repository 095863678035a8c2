// Another program that has a table open: opens FOLDER/TABLE through the
// engine, prints "ready" and keeps it open until its standard input closes.
#include <cstdio>

#include "engine/Database.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: hold_table FOLDER TABLE\n");
        return 2;
    }
    auto db = engine::Database::open(argv[1]);
    if (!db.isOk()) {
        std::fprintf(stderr, "%s\n", db.status().message().c_str());
        return 1;
    }
    auto table = (*db)->openTable(argv[2], engine::OpenMode::Shared);
    if (!table.isOk()) {
        std::fprintf(stderr, "%s\n", table.status().message().c_str());
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
