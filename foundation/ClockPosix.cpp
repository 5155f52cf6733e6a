#include <ctime>

#include "Clock.h"

int64_t CurrentUnixTime() { return static_cast<int64_t>(std::time(nullptr)); }
