// Entry point of the program: the application object does all the work in
// InitInstance, whose return ends the process.
#include <windows.h>

#include "LexantoApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    theApp.m_hInstance = instance;
    theApp.InitInstance();
    return theApp.ExitInstance();
}
