// The current time as the libraries store it: seconds since 1970-01-01 UTC.
// Read on every search, so it must be cheap (the C runtime's time() costs
// microseconds on some systems).
#pragma once

#include <cstdint>

int64_t CurrentUnixTime();
