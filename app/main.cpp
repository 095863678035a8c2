// Nyilvex: the customer and task register.
#include "app/Main/Main.h"
#include "widgets/Application.h"

int main(int argc, char** argv)
{
    NyilvexApplication app(argc, argv);
    SetupApplication(app);
    Tfrm_Main frm_Main;
    if (!frm_Main.startUp()) return 0;
    frm_Main.show();
    return app.exec();
}
