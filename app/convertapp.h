#pragma once

#include <QApplication>

// The application: one copy runs the main window; a second start shows that copy and ends.
// Arguments are ignored.
class CConvertApp : public QApplication {
    Q_OBJECT
public:
    CConvertApp(int &argc, char **argv);

    // Runs the program to its end and returns its exit status.
    int InitInstance();
};
