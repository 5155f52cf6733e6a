// Program-side access to the shared variables (linked into the program, which
// binds the variables from Dravik.dll, and into tests).
#include "SharedSection.h"

void ResetTransientSharedState()
{
    g_bRedirectKey = 0;
    g_nSendKey = 0;
    WithdrawOffer(g_Offer);
    g_nOfferMoves = 0;
    hTestEdit = 0;
    hWndManualActivate = 0;
    g_bAlterPrompt = 0;
    SetSharedString(CharBuf, "");
    SetSharedString(g_szAppListForceCharBuf, "");
    // A benchmark probe that ended without switching its timestamps off.
    g_bLatencyProbe = 0;
}
