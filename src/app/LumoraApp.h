#pragma once
// The application object: one copy per user, one modal dialog, then the process ends.
// Files named on the command line are opened as a drop; a later start hands its files
// to the running copy.

#include <QApplication>

class CLumoraApp : public QApplication {
public:
    CLumoraApp(int& argc, char** argv);

    // Runs the whole program. Always returns false: there is no message loop after the
    // dialog, and the caller ends the process.
    bool InitInstance();
};
