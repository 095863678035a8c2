// Nyilvex_Upd: the maintenance tool. One window; the program ends when it closes.
#include "Upd_Main.h"
#include "widgets/Application.h"

int main(int argc, char** argv)
{
    NyilvexApplication app(argc, argv);
    SetupApplication(app, "Nyilvex - adatbázis karbantartás");
    Tfrm_Upd_Main window;
    window.show();
    return app.exec();
}
