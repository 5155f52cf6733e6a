// The host has no screen: a common desktop size stands in, so the checks of
// stored prompt positions run in native tests.
#include "Settings.h"

void GetScreenSize(int &width, int &height)
{
    width = 1920;
    height = 1080;
}
