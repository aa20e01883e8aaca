#include "app/LumoraApp.h"
#include "platform/Charset.h"

#include <opencv2/core/utils/logger.hpp>

#include <clocale>
#include <csignal>

int main(int argc, char** argv)
{
    // The locale the user started us in decides the character set that decoded text is
    // shown in; it is read once, here, before anything else can change the locale.
    std::setlocale(LC_ALL, "");
    AnsiCharset();

    // Dropped paths are echoed on standard output; a reader that has gone away must not end
    // the program, the lines are then simply lost.
    std::signal(SIGPIPE, SIG_IGN);
    // Failures are silent: a picture that does not load is not worth a line on stderr.
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);

    CLumoraApp app(argc, argv);
    app.InitInstance();  // always false: the dialog has closed and the program ends
    return 0;
}
