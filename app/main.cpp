#include "app/convertapp.h"

int main(int argc, char *argv[])
{
    CConvertApp theApp(argc, argv);
    return theApp.InitInstance();
}
