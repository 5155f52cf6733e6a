#include "ErrorText.h"

#include "UserMessage.h"

CString ErrorText(DWORD messageId, bool show)
{
    if (messageId == 0)
        messageId = GetLastError();
    char buffer[1024] = {0};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, messageId,
                                        LANG_USER_DEFAULT, buffer, sizeof buffer - 1, nullptr);
    const CString text(buffer, static_cast<int>(length < sizeof buffer ? length : sizeof buffer - 1));
    if (show)
        ShowMessage(text.IsEmpty() ? "Unknown error!" : text.GetString());
    return text;
}
