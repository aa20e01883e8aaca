#pragma once
// The application object: one copy per user, one modal dialog, then the process ends.

#include <QApplication>

class CLumoraApp : public QApplication {
public:
    CLumoraApp(int& argc, char** argv);

    // Runs the whole program. Always returns false: there is no message loop after the
    // dialog, and the caller ends the process.
    bool InitInstance();
};
