#include "app/LumoraApp.h"
#include "platform/Charset.h"

#include <clocale>

int main(int argc, char** argv)
{
    // The locale the user started us in decides the character set that decoded text is
    // shown in; read it before Qt moves the process to a UTF-8 locale.
    std::setlocale(LC_ALL, "");
    AnsiCharset();

    CLumoraApp app(argc, argv);
    app.InitInstance();  // always false: the dialog has closed and the program ends
    return 0;
}
