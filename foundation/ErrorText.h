// The system's text for an error code.
#pragma once

#include <windows.h>

#include "CString.h"

// The text for the message id, or for GetLastError when it is 0; empty when
// the system has none. With show, the text (or "Unknown error!") is shown
// to the user.
CString ErrorText(DWORD messageId, bool show);
